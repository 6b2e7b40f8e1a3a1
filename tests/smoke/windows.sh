# Helpers of the smoke tests that find windows on the X server by their titles. The sourcing
# script defines fail MESSAGE.

# The id of the window with this title, once it is shown (within 15 seconds).
window_of() {
    local id=""
    for _ in $(seq 1 150); do
        id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n1)
        [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}

# Waits until no window has this title.
gone() {
    for _ in $(seq 1 50); do
        xwininfo -root -tree 2>/dev/null | grep -qF "\"$1\"" || return 0
        sleep 0.1
    done
    fail "\"$1\" did not close"
}

# The titles of the progress dialog while a comparison runs.
comparison_captions='テキスト解析中|比較しています|お待ちください|結果を表示しています|スクロールできます'

# Whether a comparison's progress dialog is up. The window list is taken whole before it is
# searched: grep ending early would otherwise fail the listing under pipefail.
comparing() {
    local windows
    windows=$(xwininfo -root -tree 2>/dev/null || true)
    grep -Eq "$comparison_captions" <<<"$windows"
}

# Waits for a comparison that was just asked for: for its dialog to show (a short one may have
# come and gone already), then for it to close within 30 seconds.
wait_for_comparison() {
    for _ in $(seq 1 30); do
        comparing && break
        sleep 0.1
    done
    for _ in $(seq 1 300); do
        comparing || return 0
        sleep 0.1
    done
    fail "the comparison did not end"
}
