#!/usr/bin/env bash
# The map of the differences on the real kivo: `kivo --compare` on two texts of 400 sentences
# whose differences (changed, deleted, added, moved) all lie below the first screen. After the
# comparison each window's strip beside its scroll bar must show the four status colours, in a
# narrow column; a click on the changed mark must bring the changed sentence on screen in both
# windows. Screenshots before and after the click, to look at.
#
# Usage: diffmap.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup diffmap

mkdir -p "$config/Velmora"
printf '[Options]\nViewMove=1\n' >"$config/Velmora/Kivo.conf"
left="$config/left.txt"
right="$config/right.txt"
for i in $(seq 1 400); do
    printf '%s番目の文です。' "$i" >>"$left"
    case $i in
    150) printf '%s番目の文でした。' "$i" >>"$right" ;;
    220 | 340) ;;
    *) printf '%s番目の文です。' "$i" >>"$right" ;;
    esac
    [ "$i" -eq 100 ] && printf '340番目の文です。' >>"$right"
    [ "$i" -eq 280 ] && printf 'ここで書き足した文です。' >>"$right"
done

start_kivo --compare "$left" "$right"
wait_for_comparison
sleep 1

# pane NUMBER X Y WIDTH HEIGHT active|inactive TITLE
read -r _ _ lx ly lw lh _ < <(grep '^pane 1 ' "$report")
read -r _ _ rx ry rw rh _ < <(grep '^pane 2 ' "$report")

# Where the colours of the statuses are in a window: "NAME x0 x1 y0 y1 count" per colour found.
colours() { # SCREENSHOT X Y WIDTH HEIGHT
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage txt:- | python3 -c '
import re, sys
x0, y0 = int(sys.argv[1]), int(sys.argv[2])
wanted = {"changed": (255, 0, 0), "added": (0, 0, 255), "deleted": (0, 128, 0), "moved": (128, 0, 128)}
found = {}
for line in sys.stdin:
    m = re.match(r"(\d+),(\d+): \((\d+),(\d+),(\d+)", line)
    if not m:
        continue
    x, y, rgb = int(m[1]) + x0, int(m[2]) + y0, tuple(int(v) for v in m.group(3, 4, 5))
    for name, colour in wanted.items():
        if rgb == colour:
            f = found.setdefault(name, [x, x, y, y, 0])
            f[0], f[1], f[2], f[3], f[4] = min(f[0], x), max(f[1], x), min(f[2], y), max(f[3], y), f[4] + 1
for name, f in found.items():
    print(name, *f)
' "$2" "$3"
}

shot="$out/diffmap-compared.png"
import -window root "$shot" || fail "no screenshot after the comparison"
for pane in 1 2; do
    if [ $pane -eq 1 ]; then x=$lx y=$ly w=$lw h=$lh; else x=$rx y=$ry w=$rw h=$rh; fi
    found=$(colours "$shot" "$x" "$y" "$w" "$h")
    echo "diffmap smoke: pane $pane after the comparison:"
    echo "$found" | sed 's/^/    /'
    for name in changed added deleted moved; do
        grep -q "^$name " <<<"$found" || fail "pane $pane: no $name mark"
    done
    read -r left_edge right_edge < <(awk '{ if (!n++ || $2 < a) a = $2; if ($3 > b) b = $3 } END { print a, b }' <<<"$found")
    [ $((right_edge - left_edge)) -lt 12 ] || fail "pane $pane: the marks are not one thin strip"
    [ "$left_edge" -gt $((x + w - 60)) ] || fail "pane $pane: the strip is not beside the scroll bar"
    if [ $pane -eq 1 ]; then
        read -r _ sx0 sx1 sy0 sy1 _ < <(grep '^changed ' <<<"$found")
        strip_left=$left_edge
    fi
done

# A click on the changed mark of the left window brings the changed sentence on screen in both.
xdotool mousemove $(((sx0 + sx1) / 2)) $(((sy0 + sy1) / 2)) click 1
sleep 0.5
shot="$out/diffmap-clicked.png"
import -window root "$shot" || fail "no screenshot after the click"
text_width=$((strip_left - lx - 4))
for pane in 1 2; do
    if [ $pane -eq 1 ]; then x=$lx y=$ly; else x=$rx y=$ry; fi
    colours "$shot" "$x" "$((y + 30))" "$text_width" "$((lh - 40))" | grep -q '^changed ' ||
        fail "pane $pane: the changed sentence is not on screen after the click"
done
kill -0 "$pid" 2>/dev/null || fail "kivo ended"
kill -TERM "$pid"
wait "$pid" || true
pid=
echo "diffmap smoke: screenshots in $out"
