#!/usr/bin/env bash
# Kills kivo with SIGKILL at random moments while text is typed into it, and starts it again
# each time: the windows must come back from the last session written, which holds everything
# typed more than about two seconds before the kill. Screenshots of the restored windows.
#
# Usage: session.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup session

# The text of the active window, through the clipboard.
window_text() {
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.5
    xclip -o -selection clipboard 2>/dev/null || true
}

typed=""
for round in $(seq 1 8); do
    echo "round $round" >&2
    : >"$report"
    start_kivo
    text=$(window_text)
    [ "$text" = "$typed" ] || fail "round $round: restored \"$text\", typed \"$typed\""
    xdotool key --clearmodifiers ctrl+End
    word="word$round "
    xdotool type --delay 20 "$word"
    typed="$typed$word"
    # Long enough for the session to be written before the kill (two seconds after the last
    # key, then idle steps and the disk; more on a loaded machine), with a random part on top.
    sleep "3.$((RANDOM % 9))"
    sleep 2
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
done

: >"$report"
start_kivo
grep -q 'Untitled1 \*' "$report" || fail "the restored left window has no modified mark"
import -window root "$out/session-restored.png" || fail "no screenshot of the restored windows"
[ "$(window_text)" = "$typed" ] || fail "the last restore lost text"
echo "session smoke: 8 kills, every restore whole"
