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
