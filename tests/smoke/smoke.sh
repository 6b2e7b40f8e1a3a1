#!/usr/bin/env bash
# Starts the real kivo binary on the X display that with-xvfb.sh provides, waits for its main window,
# takes a screenshot, checks that the two text windows stand side by side, and quits it the way
# a session manager would (SIGTERM), which must end it cleanly with the settings saved.
#
# Usage: smoke.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
mkdir -p "$out"
config=$(mktemp -d)
report="$config/report.txt"
shot="$out/kivo-smoke.png"
trap 'rm -rf "$config"' EXIT

fail() {
    echo "smoke: $*" >&2
    [ -f "$report" ] && sed 's/^/smoke: report: /' "$report" >&2
    exit 1
}

XDG_CONFIG_HOME="$config" KIVO_SMOKE_REPORT="$report" "$kivo" &
pid=$!

# The window is up once the X server knows it and the program has written its layout.
for _ in $(seq 1 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Kivo！"' && [ -s "$report" ]; then
        break
    fi
    kill -0 "$pid" 2>/dev/null || fail "kivo ended during start-up"
    sleep 0.2
done
[ -s "$report" ] || { kill "$pid"; fail "no main window within 20 seconds"; }

import -window root "$shot" || fail "no screenshot"
echo "smoke: screenshot $shot"
cat "$report"

# main X Y W H TITLE / pane N X Y W H active|inactive TITLE
read -r _ mx my mw mh mtitle < <(grep '^main ' "$report")
read -r _ n1 x1 y1 w1 h1 a1 t1 < <(grep '^pane 1 ' "$report")
read -r _ n2 x2 y2 w2 h2 a2 t2 < <(grep '^pane 2 ' "$report")
[ "$mtitle" = "Kivo！" ] || fail "main window title is '$mtitle'"
[ "$(grep -c '^pane ' "$report")" -eq 2 ] || fail "not exactly two text windows"
[ "$t1" = Untitled1 ] && [ "$t2" = Untitled2 ] || fail "titles '$t1' and '$t2'"
[ "$a1" = active ] && [ "$a2" = inactive ] || fail "the left window is not the active one"
[ "$x1" -lt "$x2" ] || fail "Untitled1 is not left of Untitled2"
[ "$y1" -eq "$y2" ] && [ "$h1" -eq "$h2" ] || fail "the windows are not level"
[ $((x1 + w1)) -le "$x2" ] || fail "the windows overlap"
[ $((w1 * 3)) -gt "$mw" ] && [ $((w2 * 3)) -gt "$mw" ] || fail "the windows do not share the width"
[ "$h1" -gt $((mh / 2)) ] || fail "the windows are too low"

# On the screenshot, the middle of each text window is the white of an empty page.
for pane in "$x1 $y1 $w1 $h1" "$x2 $y2 $w2 $h2"; do
    read -r px py pw ph <<< "$pane"
    colour=$(convert "$shot" -crop "1x1+$((px + pw / 2))+$((py + ph / 2))" -format '%[hex:p]' info:)
    case "$colour" in
        FFFFFF*) ;;
        *) fail "text window at $px,$py shows colour $colour, not white" ;;
    esac
done

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
grep -q '^ShowMaximized=1' "$config/Velmora/Kivo.conf" || fail "settings were not saved at exit"
echo "smoke: 1 passed, 0 failed"
