# Helpers of the smoke tests: their set-up, starting kivo, and finding windows on the X server by
# their titles. The sourcing script defines fail MESSAGE or calls smoke_setup.

# Sets up a smoke test named NAME, screenshots going to the folder $out: a settings folder
# $config and the path of the start-up report $report, both removed on exit together with the
# kivo that start_kivo started, and fail MESSAGE.
smoke_setup() {
    smoke_name=$1
    mkdir -p "$out"
    config=$(mktemp -d)
    report="$config/report.txt"
    pid=
    trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$config"' EXIT
    fail() {
        echo "$smoke_name smoke: $*" >&2
        exit 1
    }
}

# Starts $kivo with these arguments on the test's settings and waits for its main window: the
# start-up report is written once the files named are loaded.
start_kivo() {
    XDG_CONFIG_HOME="$config" KIVO_SMOKE_REPORT="$report" "$kivo" "$@" &
    pid=$!
    for _ in $(seq 1 100); do
        [ -s "$report" ] && return 0
        kill -0 "$pid" 2>/dev/null || fail "kivo ended during start-up"
        sleep 0.2
    done
    fail "no main window within 20 seconds"
}

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
