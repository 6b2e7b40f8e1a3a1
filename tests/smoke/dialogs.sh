#!/usr/bin/env bash
# Opens every settings dialog and the find and replace dialogs of the real kivo as a user does,
# by mouse and keyboard, takes a screenshot of each in the output folder, and closes each with Esc.
#
# Usage: dialogs.sh KIVO_BINARY TEXT_FILE OUTPUT_FOLDER
set -euo pipefail

kivo=$1
text=$2
out=$3
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup dialogs

start_kivo "$text"
sleep 0.5
import -window root "$out/dialogs-main.png" || fail "no screenshot of the main window"

# shot TITLE NAME: screenshot of the window with that title.
shot() {
    local id
    id=$(window_of "$1")
    [ -n "$id" ] || fail "no window \"$1\""
    sleep 0.3
    import -window "$id" "$out/dialog-$2.png" || fail "no screenshot of \"$1\""
    echo "dialogs smoke: $out/dialog-$2.png"
}

# Opens the 比較 menu by its mnemonic, as a user at the keyboard does, and chooses an entry by
# its own. Every dialog before has been closed, so this also checks that the main window has
# the keyboard again.
compare_menu() {
    xdotool key alt+d
    sleep 0.4
    xdotool key "$1"
}

# close TITLE: Esc in the window with that title (without a window manager, the focus is given
# to it explicitly), then waits until it has gone.
close() {
    local id
    id=$(window_of "$1")
    [ -n "$id" ] || fail "no window \"$1\" to close"
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key Escape
    gone "$1"
}

compare_menu s
shot "比較の設定" setup
close "比較の設定"

compare_menu c
shot "色や文字飾りの設定" colors
# From OK: Cancel, 初期設定, then the background's colour button.
xdotool key Tab Tab Tab space
shot "背景の色" chooser
close "背景の色"
close "色や文字飾りの設定"

compare_menu f
shot "フォントの選択" font
close "フォントの選択"

xdotool key ctrl+f
shot "検索" find
close "検索"

xdotool key ctrl+h
shot "置換" replace
close "置換"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
echo "dialogs smoke: 1 passed, 0 failed"
