#!/usr/bin/env bash
# Installs the build into a folder of its own and checks that the program, its desktop entry
# and its icon are where the desktop looks for them, and that the entry is valid.
#
# Usage: install.sh BUILD_FOLDER
set -euo pipefail

build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() {
    echo "install: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" > /dev/null || fail "cmake --install failed"
entry="$prefix/share/applications/kivo.desktop"
[ -x "$prefix/bin/kivo" ] || fail "no bin/kivo"
[ -f "$entry" ] || fail "no desktop entry"
[ -f "$prefix/share/icons/hicolor/scalable/apps/kivo.svg" ] || fail "no icon"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate refused the entry"
else
    echo "install: desktop-file-validate (desktop-file-utils) is not installed; entry not validated"
fi
grep -q '^MimeType=.*application/rtf' "$entry" || fail "the entry does not open rich text"
grep -q '^MimeType=.*text/plain' "$entry" || fail "the entry does not open plain text"
echo "install: 1 passed, 0 failed"
