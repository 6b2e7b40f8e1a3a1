#!/usr/bin/env bash
# Uses the real kivo as a user would after a comparison: `kivo --compare` on two texts whose
# every eleventh sentence is long on the left only, then the main window made narrower, then F8
# to the next difference. Screenshots before and after the resize and after F8, to look at: the
# rows stand level in both windows each time. Checks that the program quits cleanly.
#
# Usage: levelling.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup levelling

left="$config/left.txt"
right="$config/right.txt"
for i in $(seq 1 120); do
    tail=""
    [ $((i % 11)) -eq 5 ] && tail="、左の窓でだけ長く続けて何行にも折り返させています、まだ続きます"
    changed=""
    [ $((i % 7)) -eq 3 ] && changed="ね"
    printf '%s番目の文です%s。' "$i" "$tail" >> "$left"
    printf '%s番目の文です%s。' "$i" "$changed" >> "$right"
done

start_kivo --compare "$left" "$right"

sleep 0.5
wait_for_comparison
sleep 0.5
import -window root "$out/levelling-before.png" || fail "no screenshot before the resize"

main=$(xdotool search --name '^Kivo！' | head -1)
[ -n "$main" ] || fail "no main window"
xdotool windowsize "$main" 760 760
xdotool key --window "$main" ctrl+Home
# The windows settle, then the rows are levelled a few at a time.
sleep 1.5
import -window root "$out/levelling-after.png" || fail "no screenshot after the resize"

xdotool key F8
sleep 0.5
import -window root "$out/levelling-next-difference.png" || fail "no screenshot after F8"
kill -0 "$pid" 2>/dev/null || fail "kivo ended"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
echo "levelling smoke: screenshots in $out"
echo "levelling smoke: 1 passed, 0 failed"
