# Sourced by the demo, the picture script, the X server tests and benchmarks.
# start_xvfb <scratch dir>: starts Xvfb on a free display, waits until it
# accepts clients, exports DISPLAY and sets xvfb_pid. Returns 1 on failure.
# Without a login session it also gives the programs a runtime directory.
# The display number is drawn at random rather than taken as the lowest free
# one: a server that is just ending removes its socket file on the way out,
# and would take the socket of a new server that reused its number with it.
start_xvfb() {
    tries=0
    while [ $tries -lt 10 ]; do
        tries=$((tries + 1))
        n=$(( $(od -An -N2 -tu2 /dev/urandom) % 30000 + 200 ))
        [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
        rm -f "$1/display.txt"
        Xvfb :$n -displayfd 3 -screen 0 ${ORV_XVFB_SCREEN:-1024x768x24} -nolisten tcp 3>"$1/display.txt" >"$1/xvfb.txt" 2>&1 &
        xvfb_pid=$!
        t=100
        while [ ! -s "$1/display.txt" ] && [ $t -gt 0 ] && kill -0 $xvfb_pid 2>/dev/null; do
            sleep 0.1; t=$((t - 1))
        done
        if [ -s "$1/display.txt" ]; then
            DISPLAY=":$(head -n 1 "$1/display.txt")"
            export DISPLAY
            own_runtime_dir "$1"
            return 0
        fi
        kill $xvfb_pid 2>/dev/null
    done
    return 1
}

# own_runtime_dir <dir>: without XDG_RUNTIME_DIR, Qt warns on every start
# that it falls back to one in /tmp; a private one (mode 0700) in <dir>.
own_runtime_dir() {
    [ -n "${XDG_RUNTIME_DIR:-}" ] && return 0
    mkdir -p "$1/runtime" && chmod 0700 "$1/runtime" || return 0
    XDG_RUNTIME_DIR="$1/runtime"
    export XDG_RUNTIME_DIR
}
