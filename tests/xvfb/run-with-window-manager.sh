#!/bin/sh
# Runs a test program on a private virtual X server with a window manager:
# without one, nobody answers a request for full screen. Exit code 77 tells
# ctest the test was skipped because Xvfb or openbox is not installed.
for tool in xvfb-run openbox xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed: skipped"
        exit 77
    fi
done
exec xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
    openbox >/dev/null 2>&1 &
    wm=$!
    # Wait until the window manager has announced itself on the root window.
    i=0
    while [ $i -lt 100 ] && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
        sleep 0.05
        i=$((i + 1))
    done
    "$@"
    rc=$?
    kill $wm 2>/dev/null
    exit $rc
' sh "$@"
