#!/usr/bin/env bash
# Kivo in Japanese under a locale that is not: the real kivo started with LANG=C on two files that
# cannot be loaded, then each of Qt's standard dialogs a user meets, opened as a user does, with a
# screenshot of each in the output folder: the start-up messages over the main window, the file
# dialog, the font dialog, the print preview, the print dialog, the question before replacing a
# file and the message of a save that failed.
#
# Usage: japanese.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup japanese

# A failure leaves a screenshot of what was on screen.
fail() {
    echo "japanese smoke: $*" >&2
    import -window root "$out/japanese-failure.png" 2>/dev/null || true
    exit 1
}

# shot TITLE NAME: a screenshot of the screen once a window with that title is shown.
shot() {
    [ -n "$(window_of "$1")" ] || fail "no window \"$1\""
    sleep 0.5
    import -window root "$out/japanese-$2.png" || fail "no screenshot of \"$1\""
    echo "japanese smoke: $out/japanese-$2.png"
}

# key TITLE KEYS...: keys to the window with that title (without a window manager, the focus is
# given to it explicitly).
key() {
    local id
    id=$(window_of "$1")
    [ -n "$id" ] || fail "no window \"$1\""
    shift
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key "$@"
}

# menu LETTER ENTRY: an entry of a menu of the main window, by mnemonics, once the main window
# has the keyboard again.
menu() {
    sleep 0.5
    xdotool key "alt+$1"
    sleep 0.5
    xdotool key "$2"
}

binary="$config/program.bin"
printf '\177ELF\002\001\001\000' >"$binary"
missing="$config/missing.txt"
LANG=C LC_ALL=C XDG_CONFIG_HOME="$config" KIVO_SMOKE_REPORT="$report" "$kivo" "$binary" \
    "$missing" &
pid=$!

# The messages come over the main window, the left file's first; the report waits for them.
shot "Kivo" startup-left
[ -s "$report" ] && fail "the start-up report was written before the messages were answered"
key "Kivo" Return
sleep 0.5
shot "Kivo" startup-right
key "Kivo" Return
for _ in $(seq 1 50); do
    [ -s "$report" ] && break
    sleep 0.1
done
[ -s "$report" ] || fail "no start-up report after the messages"
grep -q '^pane 1 .* Untitled1$' "$report" || fail "the left window is not empty and untitled"
sleep 0.5

main=$(window_of "Kivo！")
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool type --delay 50 "abc"

xdotool key ctrl+o
shot "開く" open
key "開く" Escape
gone "開く"

menu d f
shot "フォントの選択" font
key "フォントの選択" Escape
gone "フォントの選択"

menu f v
shot "印刷のプレビュー" preview
key "印刷のプレビュー" Escape
gone "印刷のプレビュー"

sleep 0.5
xdotool key ctrl+p
shot "印刷" print
key "印刷" Escape
gone "印刷"

# Saving onto a file that exists asks first. No keeps the old file; on the second try the file
# is a link to a device that is always full, and the save fails.
old="$config/old.rtf"
printf '{\\rtf1 old}' >"$old"
full="$config/full.rtf"
ln -s /dev/full "$full"
save_as() {
    menu f a
    [ -n "$(window_of "名前を付けて保存")" ] || fail "no save dialog"
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 30 "$1"
    xdotool key Return
    sleep 1
}
save_as "$old"
import -window root "$out/japanese-replace.png" || fail "no screenshot of the question"
echo "japanese smoke: $out/japanese-replace.png"
xdotool key alt+n
sleep 0.5
xdotool key Escape
gone "名前を付けて保存"
[ "$(cat "$old")" = '{\rtf1 old}' ] || fail "the old file was replaced after No"
save_as "$full"
xdotool key alt+y
shot "Kivo" save-failed
key "Kivo" Return

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
echo "japanese smoke: 1 passed, 0 failed"
