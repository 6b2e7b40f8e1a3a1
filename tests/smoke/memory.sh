#!/usr/bin/env bash
# Short memory never kills the windows. Under an address-space limit, kivo is started on a text it
# has no room for and on two texts whose comparison would not fit: each time it comes up, tells
# the user instead of loading or comparing, and ends cleanly on SIGTERM, never by a signal.
# Screenshots of the messages.
#
# Usage: memory.sh KIVO_BINARY OUTPUT_FOLDER
set -euo pipefail

kivo=$1
out=$2
# shellcheck source=windows.sh
source "$(dirname "$0")/windows.sh"
smoke_setup memory

python3 - "$config" <<'PY'
import sys
folder = sys.argv[1]
sentence = 'これは%d番目の文です。'
with open(folder + '/big.txt', 'w', encoding='utf-8') as f:
    f.write(''.join(sentence % i for i in range(1200000)))  # 43 MB
left = ''.join(sentence % i for i in range(130000))  # 4.5 MB
right = ''.join(('これは%d番目の文でした。' if i % 7 == 0 else sentence) % i for i in range(130000))
open(folder + '/left.txt', 'w', encoding='utf-8').write(left)
open(folder + '/right.txt', 'w', encoding='utf-8').write(right)
PY

# Runs kivo with ARGS under an address-space limit of LIMIT KiB for a while, takes a screenshot
# named SHOT, then ends it with SIGTERM: it must have lived that long and end with status 0.
limited() {
    local limit=$1 shot=$2
    shift 2
    XDG_CONFIG_HOME="$config" bash -c 'ulimit -v "$0" && exec "$@"' "$limit" "$kivo" "$@" &
    pid=$!
    for _ in $(seq 1 40); do
        sleep 0.5
        kill -0 "$pid" 2>/dev/null || break
    done
    if ! kill -0 "$pid" 2>/dev/null; then
        set +e
        wait "$pid"
        status=$?
        set -e
        fail "kivo $* under ulimit -v $limit ended by itself with status $status"
    fi
    import -window root "$out/$shot" || fail "no screenshot $shot"
    kill -TERM "$pid"
    set +e
    wait "$pid"
    status=$?
    set -e
    pid=
    [ "$status" -eq 0 ] || fail "kivo $* under ulimit -v $limit ended with status $status after SIGTERM"
}

limited 400000 memory-open.png "$config/big.txt"
limited 900000 memory-compare.png --compare "$config/left.txt" "$config/right.txt"
echo "memory smoke: a text too large to hold and a comparison too large to make were refused"
