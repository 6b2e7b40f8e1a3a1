#!/usr/bin/env bash
# Compares two texts with the rules for Japanese on (kana folding, quotations kept whole, moved
# sentences shown), as the settings of an earlier run left them: the moved sentence must be drawn
# in the moved colour in both windows. Then F8 to it and Ctrl+J to its other end and back, with a
# screenshot after each step, to look at.
#
# Usage: moves.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup moves

mkdir -p "$config/Velmora"
printf '[Options]\nCmpKana=1\nKeepQuotes=1\nViewMove=1\n' >"$config/Velmora/Kivo.conf"
printf '春は桜が咲く。夏は海に行く。「ボタンを押す。」と書いた。秋は紅葉を見る。冬は雪が降る。' \
    >"$config/left.txt"
printf '冬は雪が降る。春は桜が咲く。夏は海に行く。「ぼたんを押す。」と書いた。秋は紅葉を見る。' \
    >"$config/right.txt"

start_kivo --compare "$config/left.txt" "$config/right.txt"

wait_for_comparison
sleep 0.5
shot="$out/moves-compared.png"
import -window root "$shot" || fail "no screenshot after the comparison"

read -r _ _ x1 y1 w1 h1 _ < <(grep '^pane 1 ' "$report")
read -r _ _ x2 y2 w2 h2 _ < <(grep '^pane 2 ' "$report")
has_colour() { # region colour
    local colours
    colours=$(convert "$shot" -crop "$1" +repage -unique-colors txt:-)
    grep -qi "$2" <<<"$colours"
}
moved='#800080'
has_colour "${w1}x${h1}+${x1}+${y1}" "$moved" || fail "no moved sentence (purple) on the left"
has_colour "${w2}x${h2}+${x2}+${y2}" "$moved" || fail "no moved sentence (purple) on the right"

main=$(xdotool search --name '^Kivo！' | head -1)
[ -n "$main" ] || fail "no main window"
xdotool key --window "$main" ctrl+Home
sleep 0.3
xdotool key F8
sleep 0.5
import -window root "$out/moves-next-difference.png" || fail "no screenshot after F8"
xdotool key ctrl+j
sleep 0.5
import -window root "$out/moves-jump.png" || fail "no screenshot after Ctrl+J"
xdotool key ctrl+j
sleep 0.5
import -window root "$out/moves-jump-back.png" || fail "no screenshot after the second Ctrl+J"
kill -0 "$pid" 2>/dev/null || fail "kivo ended"
kill -TERM "$pid"
wait "$pid" || true
pid=
echo "moves smoke: screenshots in $out"
