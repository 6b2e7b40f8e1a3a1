#!/usr/bin/env bash
# The real kivo started with two files: each window must show its file, titled with its path.
# Then started with --compare: once the comparison has ended, the print preview of the left
# window's result is opened from the File menu and photographed.
#
# Usage: files.sh KIVO_BINARY LEFT_TEXT RIGHT_TEXT OUTPUT_FOLDER
set -euo pipefail

kivo=$1
left=$(realpath "$2")
right=$(realpath "$3")
out=$4
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup files

# The start-up report, when there is one, tells what kivo saw.
fail() {
    echo "files smoke: $*" >&2
    [ -f "$report" ] && sed 's/^/files smoke: report: /' "$report" >&2
    exit 1
}

start() {
    rm -f "$report"
    start_kivo "$@"
}

stop() {
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
}

# The number of pixels of a region that are neither white nor grey: text in colour, or, for
# plain text, the dark pixels of the characters.
ink() { # region
    convert "$shot" -crop "$1" +repage -colorspace Gray -threshold 50% -negate \
        -format '%[fx:int(mean*w*h)]' info:
}

start "$left" "$right"
sleep 0.5
shot="$out/files-two.png"
import -window root "$shot" || fail "no screenshot"
read -r _ _ x1 y1 w1 h1 a1 t1 < <(grep '^pane 1 ' "$report")
read -r _ _ x2 y2 w2 h2 _ t2 < <(grep '^pane 2 ' "$report")
[ "$t1" = "$left" ] || fail "the left window is titled '$t1', not $left"
[ "$t2" = "$right" ] || fail "the right window is titled '$t2', not $right"
[ "$a1" = active ] || fail "the left window is not the active one"
[ "$(ink "${w1}x${h1}+${x1}+${y1}")" -gt 50 ] || fail "no text in the left window"
[ "$(ink "${w2}x${h2}+${x2}+${y2}")" -gt 50 ] || fail "no text in the right window"
echo "files smoke: screenshot $shot"
stop

start --compare "$left" "$right"
wait_for_comparison
sleep 0.3
xdotool key alt+f
sleep 0.5
xdotool key v
for _ in $(seq 1 50); do
    [ "$(xwininfo -root -tree 2>/dev/null | grep -c '"Kivo' || true)" -ge 2 ] && break
    sleep 0.2
done
sleep 1
shot="$out/files-preview.png"
import -window root "$shot" || fail "no screenshot of the preview"
echo "files smoke: screenshot $shot"
xdotool key Escape
sleep 0.3
stop

# A FIFO without a writer: refused at once in a message box (captioned "Kivo"), however long
# nobody writes; SIGTERM while the box is open ends kivo within a second, cleanly.
fifo="$config/fifo"
mkfifo "$fifo"
XDG_CONFIG_HOME="$config" "$kivo" "$fifo" &
pid=$!
for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Kivo"' && break
    kill -0 "$pid" 2>/dev/null || fail "kivo ended at a FIFO"
    sleep 0.2
done
xwininfo -root -tree 2>/dev/null | grep -q '"Kivo"' || fail "no message about the FIFO"
sleep 0.3
shot="$out/files-fifo.png"
import -window root "$shot" || fail "no screenshot of the message"
echo "files smoke: screenshot $shot"
kill -TERM "$pid"
for _ in $(seq 1 10); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "kivo still runs a second after SIGTERM with a message open"
stop_status=0
wait "$pid" || stop_status=$?
pid=
[ "$stop_status" -eq 0 ] || fail "kivo ended with status $stop_status after SIGTERM"
[ -s "$config/Velmora/Kivo.conf" ] || fail "the settings were not saved on SIGTERM"
echo "files smoke: 1 passed, 0 failed"
