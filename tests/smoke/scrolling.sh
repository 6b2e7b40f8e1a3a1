#!/usr/bin/env bash
# Reads a result side by side as a user would, on the real kivo: `kivo --compare` on two texts of
# 400 sentences, a screenshot of the progress dialog while the result is shown, then the
# mouse wheel over the window that is not the active one, then Page Down in the active one.
# After each scroll a screenshot, and a check that the two windows show their rows at the same
# height: the heights at which text lines begin in the left window are those of the right one,
# not shifted by any number of pixels. Checks that the program quits cleanly.
#
# Usage: scrolling.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup scrolling

# Sentences of the same length on both sides, so that paired rows look alike; every seventh is
# changed by one character, every thirteenth wraps in both windows.
left="$config/left.txt"
right="$config/right.txt"
for i in $(seq 1 400); do
    tail=""
    [ $((i % 13)) -eq 6 ] && tail="、両方の窓で長く続けて何行にも折り返させています、まだまだ続きます、もう少し続きます"
    changed="す"
    [ $((i % 7)) -eq 3 ] && changed="した"
    printf '%s番目の文で%s%s。' "$i" "$changed" "$tail" >> "$left"
    printf '%s番目の文で%s%s。' "$i" "す" "$tail" >> "$right"
done

start_kivo --compare "$left" "$right"

# The progress dialog once the result can be scrolled: its phase in the title and inside.
captions='テキスト解析中|比較しています|お待ちください|結果を表示しています|スクロールできます'
shot=""
# The dialog may not be up yet when the main window is: wait for it first, then for it to close.
for _ in $(seq 1 50); do
    xwininfo -root -tree 2>/dev/null | grep -Eq "$captions" && break
    sleep 0.1
done
for _ in $(seq 1 600); do
    windows=$(xwininfo -root -tree 2>/dev/null)
    grep -Eq "$captions" <<<"$windows" || break
    if [ -z "$shot" ] && grep -q 'スクロールできます' <<<"$windows"; then
        import -window root "$out/scrolling-progress.png" && shot=yes
    fi
    sleep 0.1
done
xwininfo -root -tree 2>/dev/null | grep -Eq "$captions" && fail "the comparison did not end"
sleep 0.5

# pane NUMBER X Y WIDTH HEIGHT active|inactive TITLE
read -r _ _ lx ly lw lh lstate _ < <(grep '^pane 1 ' "$report")
read -r _ _ rx ry rw rh _ _ < <(grep '^pane 2 ' "$report")
[ "$ly" = "$ry" ] && [ "$lh" = "$rh" ] || fail "the windows are not side by side: $(cat "$report")"

# The text area of a window: below its title bar, left of its scroll bar.
margin_top=40
margin_side=12
scroll_bar=30
profile() { # SCREENSHOT X WIDTH: one gray level per pixel row of the text area, top to bottom
    convert "$1" -crop "$(($3 - margin_side - scroll_bar))x$((lh - margin_top - margin_side))+$(($2 + margin_side))+$((ly + margin_top))" \
        +repage -colorspace Gray -scale '1x!' -depth 8 txt:- | sed -n 's/.*gray(\([0-9.]*\).*/\1/p'
}

level() { # SCREENSHOT NAME: the rows stand at the same height in both windows
    profile "$1" "$lx" "$lw" > "$config/left.profile"
    profile "$1" "$rx" "$rw" > "$config/right.profile"
    python3 - "$config/left.profile" "$config/right.profile" "$2" <<'EOF' || fail "$2: the rows are not level"
import sys
def ink(path):
    rows = [float(v) for v in open(path)]
    paper = max(rows)
    return [paper - v > 4 for v in rows]
left, right, name = ink(sys.argv[1]), ink(sys.argv[2]), sys.argv[3]
def agreement(shift):
    pairs = [(left[y], right[y + shift]) for y in range(len(left)) if 0 <= y + shift < len(right)]
    return sum(a == b for a, b in pairs) / len(pairs)
best = max(range(-40, 41), key=lambda s: (agreement(s), -abs(s)))
print(f"scrolling smoke: {name}: rows agree {agreement(0):.3f} in place, best shift {best} px")
sys.exit(0 if best == 0 and agreement(0) > 0.9 and sum(left) > 20 else 1)
EOF
}

import -window root "$out/scrolling-start.png" || fail "no screenshot at the start"
level "$out/scrolling-start.png" "at the start"

# The wheel over the window that is not the active one.
if [ "$lstate" = active ]; then wx=$((rx + rw / 2)); else wx=$((lx + lw / 2)); fi
xdotool mousemove "$wx" $((ly + lh / 2))
xdotool click --repeat 7 --delay 80 5
sleep 0.5
import -window root "$out/scrolling-wheel-inactive.png" || fail "no screenshot after the wheel"
level "$out/scrolling-wheel-inactive.png" "wheel over the inactive window"

main=$(xdotool search --name '^Kivo！' | head -1)
[ -n "$main" ] || fail "no main window"
xdotool key --window "$main" Next
sleep 0.5
import -window root "$out/scrolling-page-down.png" || fail "no screenshot after Page Down"
level "$out/scrolling-page-down.png" "Page Down"
kill -0 "$pid" 2>/dev/null || fail "kivo ended"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
echo "scrolling smoke: screenshots in $out"
echo "scrolling smoke: 1 passed, 0 failed"
