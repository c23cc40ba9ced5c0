#!/bin/sh
# Builds the Debian package as `make package` does, installs it with dpkg and
# starts the installed player under Xvfb.
#   check-package.sh BUILD_DIR MEDIA_FILE
# The package goes into a private root with its own copy of this machine's
# dpkg database, so dpkg checks the dependencies against what is installed
# here while the machine itself stays untouched.
set -eu
build=$(cd "$1" && pwd)
media=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in cpack dpkg dpkg-deb dpkg-shlibdeps apt-get xvfb-run dbus-run-session dbus-send xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed: skipped"
        exit 77
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
fail() {
    echo "FAIL: $*"
    exit 1
}
show() {
    sed 's/^/  | /' "$1"
}

# 1. The package, built from the build tree (CPack builds what is out of date).
(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 || {
    show "$work/cpack.log"
    fail "cpack"
}
set -- "$work"/out/velpa-player_*_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "no velpa-player_*.deb in $(ls "$work/out")"
deb=$1
echo "built $(basename "$deb")"

# 2. Its fields: the dependencies come from the binary (dpkg-shlibdeps).
[ "$(dpkg-deb -f "$deb" Package)" = velpa-player ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libmpv2 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6openglwidgets6; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$lib\b" || fail "Depends lacks $lib"
done
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for f in ./usr/bin/velpa-player ./usr/share/applications/velpa-player.desktop \
    ./usr/share/metainfo/org.example.velpa.Player.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/velpa-player.svg \
    ./usr/share/icons/hicolor/48x48/apps/velpa-player.png; do
    grep -qx "$f" "$work/contents" || fail "the package lacks $f"
done

# 3. apt can satisfy every dependency from Debian's packages.
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || {
    show "$work/apt.log"
    fail "apt-get install --simulate"
}
grep -q "^Inst velpa-player " "$work/apt.log" || {
    show "$work/apt.log"
    fail "apt would not install the package"
}

# 4. dpkg -i into a private root. The database copy holds the package states
# without their file lists and trigger interests: nothing else is touched.
admin=$work/dpkg
root=$work/root
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers" "$root"
cp /var/lib/dpkg/status "$admin/status"
: >"$admin/available"
as_root=""
if [ "$(id -u)" -ne 0 ]; then
    command -v fakeroot >/dev/null 2>&1 || {
        echo "dpkg needs root or fakeroot: skipped"
        exit 77
    }
    as_root=fakeroot
fi
$as_root dpkg --admindir="$admin" --instdir="$root" --force-not-root --no-triggers \
    -i "$deb" >"$work/dpkg.log" 2>&1 || {
    grep -v "files list file for package" "$work/dpkg.log" | show /dev/stdin
    fail "dpkg -i"
}
[ "$(dpkg-query --admindir="$admin" -W -f='${Status}' velpa-player)" = "install ok installed" ] ||
    fail "dpkg does not list the package as installed"
player=$root/usr/bin/velpa-player
[ -x "$player" ] || fail "no $player"

# 5. The installed player starts under Xvfb, once on a private session bus
# with a file as "Open with" passes it, once without any session bus. The
# server must not reset when the first player, its only client, ends: it
# refuses connections while it resets, and the second start would fail.
mkdir -p "$work/home"
HOME=$work/home xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    dbus-run-session -- sh "$here/run-installed-player.sh" "$player" "$media" "$work" ||
    fail "the installed player"
echo "the package installs and the installed player runs"
