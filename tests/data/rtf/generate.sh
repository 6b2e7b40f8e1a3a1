#!/bin/sh
# Makes the word processor's RTF files of this folder from their sources (package
# libreoffice-writer). Each NAME.rtf has NAME.expected, the text reading it must give.
set -e
cd "$(dirname "$0")"
soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf libreoffice-styled.html
soffice --headless --convert-to rtf libreoffice-table-image.fodt
soffice --headless --infilter="Text (encoded):SHIFT_JIS,CRLF,IPAexMincho,ja-JP" \
    --convert-to rtf libreoffice-sjis.txt
