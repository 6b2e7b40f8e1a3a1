#!/usr/bin/env bash
# Makes an old/new comparison table from the real kivo as a user does: compares two files,
# chooses ファイル → 新旧対照表を作成, takes a screenshot of the options dialog, accepts it, types
# the file's name into the save dialog and checks the .docx written. Where LibreOffice is
# installed, the file is converted to PDF and its first page rendered to a PNG in the output
# folder, to be looked at; without LibreOffice that part is skipped with a note.
#
# Usage: table.sh KIVO_BINARY OLD_TEXT NEW_TEXT OUTPUT_FOLDER
set -euo pipefail

kivo=$1
old=$2
new=$3
out=$4
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup table
# LibreOffice gets a profile of its own, so that a running LibreOffice of the user is not
# disturbed.
profile=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$config" "$profile"' EXIT

docx="$out/table-smoke.docx"
rm -f "$docx" "$out/table-smoke.pdf" "$out"/table-page*.png

start_kivo --compare "$old" "$new"
wait_for_comparison
sleep 0.5

xdotool key alt+f
sleep 0.4
xdotool key t
id=$(window_of "新旧対照表を作成")
[ -n "$id" ] || fail "no options dialog"
sleep 0.3
import -window "$id" "$out/table-dialog.png" || fail "no screenshot of the options dialog"
echo "table smoke: $out/table-dialog.png"
xdotool windowfocus --sync "$id" 2>/dev/null || true
xdotool key Return
gone "新旧対照表を作成"

save=$(window_of "名前を付けて保存")
[ -n "$save" ] || fail "no save dialog"
sleep 0.5
xdotool windowfocus --sync "$save" 2>/dev/null || true
xdotool key ctrl+a
xdotool type --delay 20 "$docx"
xdotool key Return
for _ in $(seq 1 50); do
    [ -s "$docx" ] && break
    sleep 0.1
done
[ -s "$docx" ] || fail "no $docx written"
# Read whole before grep looks: grep -q ending early would break unzip's pipe, which pipefail
# takes for a failure.
parts=$(unzip -Z1 "$docx") || fail "$docx is no zip archive"
grep -qx "word/document.xml" <<<"$parts" || fail "$docx holds no word/document.xml"
body=$(unzip -p "$docx" word/document.xml)
grep -q "新旧対照表" <<<"$body" || fail "the table has no title"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "kivo ended with status $status after SIGTERM"
grep -q '^\[Table\]' "$config/Velmora/Kivo.conf" || fail "the table's options were not saved"

if ! command -v soffice >/dev/null || ! command -v pdftoppm >/dev/null; then
    echo "table smoke: LibreOffice or pdftoppm is not installed; the rendering was skipped"
    exit 0
fi
timeout 120 soffice -env:UserInstallation="file://$profile" --headless --convert-to pdf \
    --outdir "$out" "$docx" >/dev/null 2>&1 || fail "LibreOffice could not convert $docx"
[ -s "$out/table-smoke.pdf" ] || fail "no PDF made of $docx"
pdftoppm -r 80 -png -f 1 -l 1 "$out/table-smoke.pdf" "$out/table-page" ||
    fail "the PDF could not be rendered"
page=$(ls "$out"/table-page*.png | head -n1)
[ -s "$page" ] || fail "no page rendered"
echo "table smoke: $page"
