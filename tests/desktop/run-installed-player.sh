#!/bin/sh
# Runs under xvfb-run and dbus-run-session (check-package.sh starts it):
#   run-installed-player.sh PLAYER MEDIA_FILE WORK_DIR
set -eu
player=$1
media=$2
work=$3
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR
log=$work/player.log
fail() {
    echo "FAIL: $*"
    [ -s "$log" ] && sed 's/^/  | /' "$log"
    exit 1
}
service=org.mpris.MediaPlayer2.velpa
get() {
    dbus-send --session --print-reply=literal --dest=$service /org/mpris/MediaPlayer2 \
        org.freedesktop.DBus.Properties.Get \
        string:org.mpris.MediaPlayer2.Player "string:$1" 2>/dev/null
}
# Retries a check for up to 20 seconds.
eventually() {
    tries=0
    until eval "$1" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ $tries -lt 200 ] || return 1
        sleep 0.1
    done
}
windows() {
    xwininfo -root -tree 2>/dev/null
}
# A process that has ended stays a zombie until it is waited for.
running() {
    [ -r "/proc/$1/stat" ] && ! sed 's/.*) //' "/proc/$1/stat" | grep -q '^Z'
}

# "Open with": the file plays once start-up is over; the bus names it.
"$player" "$media" >"$log" 2>&1 &
pid=$!
title=$(basename "$media" | sed 's/\.[^.]*$//')
eventually "get Metadata | grep -q '$title'" || fail "the file given is not played"
get PlaybackStatus | grep -q Playing || fail "the player is not playing"
eventually "windows | grep -q 'Велпа.Плеер : $title'" || fail "no main window naming the file"
# The desktop finds the desktop entry through the window's class.
windows | grep 'Велпа.Плеер : ' | grep -q '("velpa-player" "Velpa Player")' ||
    fail "window class: $(windows | grep 'Велпа.Плеер : ')"
playlist=$HOME/Documents/Velpa.Player.listbox.ini
[ -f "$playlist" ] && grep -q "$title" "$playlist" && fail "the file went into the playlist"
dbus-send --session --type=method_call --dest=$service /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Quit
eventually "! running $pid" || fail "Quit does not end the player"
wait $pid || fail "the player ended with code $?"
echo "started with a file: played it, answered on the bus, quit"

# Without a session bus the player starts as always.
log=$work/player-without-bus.log
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus "$player" >"$log" 2>&1 &
pid=$!
eventually "windows | grep -q '\"Велпа.Плеер \"'" || fail "no main window without a bus"
sleep 1
running $pid || fail "the player ended without a bus"
kill $pid
wait $pid || true
echo "started without a session bus: the main window came up"
