#!/usr/bin/env bash
# `make fuzz`: runs every fuzz target for the given number of seconds. The
# corpus each run grows, and any input that breaks a target, stay in the
# build folder; the seeds in fuzz/corpus/ are only read.
# Usage: fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=$2
src=$(cd "$(dirname "$0")" && pwd)
targets=(playlist_file settings_file value_text texts)

status=0
for t in "${targets[@]}"; do
  work="$build/fuzz-work/$t"
  mkdir -p "$work/corpus" "$work/findings"
  inputs=("$src/corpus/$t")
  if [ -d "$src/regressions/$t" ]; then
    inputs+=("$src/regressions/$t")
  fi
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$work/findings/" \
      "$work/corpus" "${inputs[@]}" >"$work/log" 2>&1; then
    echo "fuzz_$t: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second' "$work/log" | tail -1)s, nothing found"
  else
    tail -n 40 "$work/log"
    echo "fuzz_$t: found an input that breaks it, kept in $work/findings/"
    echo "  Fix the fault, then add the input to fuzz/regressions/$t/."
    status=1
  fi
done
exit $status
