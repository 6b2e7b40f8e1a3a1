#!/usr/bin/env bash
# Runs a command on an X server of its own. Xvfb picks a free display itself and reports it
# (-displayfd), so tests started at the same moment never race for one.
#
# Usage: with-xvfb.sh COMMAND [ARGUMENTS...]
set -euo pipefail

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r -t 20 display <"$fifo" || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
# The program under test is to use this server, whatever platform the caller chose for Qt.
unset QT_QPA_PLATFORM
# Windows' contents kept between runs stay with this test, never the user's.
state=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$fifo"; rm -rf "$state"' EXIT
export XDG_STATE_HOME="$state"
"$@"
