#!/bin/sh
# Installs the build into a scratch prefix, as `make install PREFIX=...` does,
# and checks what a desktop needs of the installed tree.
#   check-install.sh BUILD_DIR
set -eu
build=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
fail() {
    echo "FAIL: $*"
    exit 1
}

prefix=$work/root/opt/velpa
log=$work/install.log
cmake --install "$build" --prefix "$prefix" >"$log" || {
    cat "$log"
    fail "cmake --install"
}
# Everything lands below the prefix.
[ "$(ls "$work/root")" = opt ] || fail "files outside the prefix: $(ls "$work/root")"

share=$prefix/share
for f in bin/velpa-player share/applications/velpa-player.desktop \
    share/metainfo/org.example.velpa.Player.metainfo.xml \
    share/icons/hicolor/scalable/apps/velpa-player.svg; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/velpa-player" ] || fail "the player is not executable"

# Each PNG is the size its folder names, and shows something.
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/velpa-player.png
    [ -f "$png" ] || fail "no ${size} pixel icon"
    python3 "$here/png-size.py" "$png" "$size" || fail "$png"
done

desktop-file-validate "$share/applications/velpa-player.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/org.example.velpa.Player.metainfo.xml" ||
    fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"
echo "installed tree under $prefix is complete and valid"
