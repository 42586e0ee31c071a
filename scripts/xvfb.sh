# Sourced by the demo, the picture script and the X server tests.
# start_xvfb <scratch dir>: starts Xvfb on a display it picks itself (so
# servers started at the same moment never race for one), waits until it
# accepts clients, exports DISPLAY and sets xvfb_pid. Returns 1 on failure.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display.txt" >"$1/xvfb.txt" 2>&1 &
    xvfb_pid=$!
    t=100
    while [ ! -s "$1/display.txt" ] && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
    [ -s "$1/display.txt" ] || return 1
    DISPLAY=":$(head -n 1 "$1/display.txt")"
    export DISPLAY
}
