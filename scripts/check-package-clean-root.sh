#!/usr/bin/env bash
# The package on a clean Debian 12: debootstrap makes a minimal root, apt
# installs the .deb there (pulling in Qt and libmpv from Debian's mirror),
# and the installed player is started under Xvfb inside that root.
#   scripts/check-package-clean-root.sh PACKAGE.deb [ROOT_DIR]
# Needs root, debootstrap and network access; it takes minutes, so it is a
# make target of its own (`make package-check`), not part of `make test`.
set -euo pipefail
deb=$(realpath "$1")
root=$(realpath -m "${2:-build/clean-root}")
for tool in debootstrap chroot mount; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 1; }
done
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot need it)"; exit 1; }

mounted=()
cleanup() {
    # A process of the root may take a moment to let go of /dev.
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || { sleep 2 && umount "${mounted[i]}"; } ||
            umount --lazy "${mounted[i]}" || true
    done
}
trap cleanup EXIT
bind() {
    mount --bind "$1" "$root$1"
    mounted+=("$root$1")
}

if [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "debootstrap: a minimal Debian 12 in $root"
    debootstrap --variant=minbase bookworm "$root" >"$root.debootstrap.log" 2>&1 || {
        tail -20 "$root.debootstrap.log"
        exit 1
    }
fi
bind /proc
bind /sys
bind /dev
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
name=$(basename "$deb")

in_root() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"
}
echo "apt install ./$name"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$name" xvfb xauth x11-utils >"$root.apt.log" 2>&1 || {
    tail -30 "$root.apt.log"
    exit 1
}
in_root dpkg-query -W -f='${Package} ${Version}\n' velpa-player libmpv2 libqt6widgets6

echo "starting the installed player under Xvfb"
cat >"$root/tmp/start-player.sh" <<'SCRIPT'
set -eu
mkdir -p /tmp/home
HOME=/tmp/home /usr/bin/velpa-player >/tmp/player.log 2>&1 &
pid=$!
for _ in $(seq 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Велпа.Плеер "'; then
        kill "$pid"
        wait "$pid" || true
        echo "the main window came up"
        exit 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
echo "no main window"; cat /tmp/player.log; exit 1
SCRIPT
# The root has a /tmp of its own, but X servers' sockets are shared with the
# machine: the display number is chosen from the machine's.
display=200
while [ -e "/tmp/.X$display-lock" ] || grep -q "/tmp/.X11-unix/X$display\$" /proc/net/unix; do
    display=$((display + 1))
done
in_root xvfb-run -n "$display" -s "-screen 0 1024x768x24" sh /tmp/start-player.sh
echo "the package installs and starts on a clean Debian 12"
