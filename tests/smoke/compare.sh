#!/usr/bin/env bash
# Uses the real kivo as a user would: pastes two texts into the two windows, presses F5, takes
# screenshots during the display of the result and after it, and checks that the result is
# coloured on both sides, that the comparison ended, and that the program quits cleanly.
#
# Usage: compare.sh KIVO_BINARY LEFT_TEXT RIGHT_TEXT OUTPUT_FOLDER
set -euo pipefail

kivo=$1
left=$2
right=$3
out=$4
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup compare

start_kivo

paste_into_active() {
    xclip -selection clipboard -i "$1"
    sleep 0.3
    xdotool key ctrl+v
    sleep 0.3
}
paste_into_active "$left"
xdotool key F6
sleep 0.3
paste_into_active "$right"

xdotool key F5
sleep 0.1
import -window root "$out/compare-during.png" || fail "no screenshot during the display"

# The progress dialog carries the phase in its title; the comparison has ended once it is gone.
wait_for_comparison
sleep 0.3
shot="$out/compare-after.png"
import -window root "$shot" || fail "no screenshot after the comparison"
echo "compare smoke: screenshots $out/compare-during.png $shot"

# main X Y W H TITLE / pane N X Y W H active|inactive TITLE
read -r _ n1 x1 y1 w1 h1 _ < <(grep '^pane 1 ' "$report")
read -r _ n2 x2 y2 w2 h2 _ < <(grep '^pane 2 ' "$report")
has_colour() { # region colour
    local colours
    colours=$(convert "$shot" -crop "$1" +repage -unique-colors txt:-)
    grep -qi "$2" <<< "$colours"
}
has_colour "${w1}x${h1}+${x1}+${y1}" '#008000' || fail "no deleted text (green) on the left"
has_colour "${w2}x${h2}+${x2}+${y2}" '#0000FF' || fail "no added text (blue) on the right"
has_colour "${w1}x${h1}+${x1}+${y1}" '#FF0000' || fail "no changed text (red) on the left"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
echo "compare smoke: 1 passed, 0 failed"
