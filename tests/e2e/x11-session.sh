# Shell helpers for driving the real clock window under Xvfb with xdotool. Sourced by the
# end-to-end test, scripts/screenshot and bench/run; needs bash.
#
#   x11_start DIR         starts Xvfb on a free display (Xvfb picks it: -displayfd) and
#                         exports DISPLAY; DIR receives its log
#   x11_stop              stops it again
#   x11_wait_window NAME PID [SECONDS]
#                         waits until a visible window whose title is exactly NAME is
#                         mapped and prints its id; fails when PID ends first or time runs out
#   x11_focus WID         gives WID the keyboard focus (there is no window manager to do it)
#   x11_wait_exit PID [SECONDS]
#                         waits for the background job PID to end; its exit status becomes
#                         ours, 124 when time runs out
#   x11_now               the local time as a date-time value (days since 30.12.1899)

x11_xvfb_pid=""

x11_start() {
    local dir=$1 fd_file="$1/xvfb-display"
    : >"$fd_file"
    # -displayfd: the server takes the first free display number and writes it to fd 3.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
        3>"$fd_file" >"$dir/xvfb.log" 2>&1 &
    x11_xvfb_pid=$!
    local tries=0
    while [ ! -s "$fd_file" ]; do
        if ! kill -0 "$x11_xvfb_pid" 2>/dev/null; then
            echo "Xvfb did not start:" >&2
            cat "$dir/xvfb.log" >&2
            return 1
        fi
        tries=$((tries + 1))
        if [ $tries -gt 200 ]; then
            echo "Xvfb gave no display number within 20 s" >&2
            return 1
        fi
        sleep 0.1
    done
    DISPLAY=":$(head -n1 "$fd_file" | tr -d ' \n')"
    export DISPLAY
    # Qt wants a private runtime directory and complains on every start without one.
    mkdir -p -m 700 "$dir/runtime"
    XDG_RUNTIME_DIR="$dir/runtime"
    export XDG_RUNTIME_DIR
}

x11_stop() {
    if [ -n "$x11_xvfb_pid" ]; then
        kill "$x11_xvfb_pid" 2>/dev/null || true
        wait "$x11_xvfb_pid" 2>/dev/null || true
        x11_xvfb_pid=""
    fi
}

x11_wait_window() {
    local name=$1 pid=$2 seconds=${3:-30} tries=0 wid
    while :; do
        wid=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n1 || true)
        if [ -n "$wid" ]; then
            echo "$wid"
            return 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "the program ended before a window \"$name\" appeared" >&2
            return 1
        fi
        tries=$((tries + 1))
        if [ $tries -gt $((seconds * 20)) ]; then
            echo "no window \"$name\" within $seconds s" >&2
            return 1
        fi
        sleep 0.05
    done
}

x11_focus() {
    local wid=$1 tries=0
    while [ "$(xdotool getwindowfocus 2>/dev/null || true)" != "$wid" ]; do
        xdotool windowfocus "$wid" 2>/dev/null || true
        tries=$((tries + 1))
        if [ $tries -gt 100 ]; then
            echo "window $wid does not take the focus" >&2
            return 1
        fi
        sleep 0.05
    done
}

x11_wait_exit() {
    local pid=$1 seconds=${2:-20} tries=0
    while kill -0 "$pid" 2>/dev/null; do
        tries=$((tries + 1))
        if [ $tries -gt $((seconds * 20)) ]; then
            return 124
        fi
        sleep 0.05
    done
    wait "$pid"
}

x11_now() {
    sqlite3 :memory: "select printf('%.10f', julianday('now', 'localtime') - 2415018.5)"
}
