#!/bin/sh
# The program at rest: both window modes open on Xvfb, connected to
# orv-dbnode at its default update rate, nothing changing (a steady aircraft,
# no plan). After a settling time it samples, over a window of N seconds,
# the CPU time of every thread (/proc/PID/task/*/schedstat, in ns) and
# the wake-ups (voluntary context switches of every thread, which is how
# often a thread went to sleep and was woken). The node serving it is
# measured over the same window, as the floor a program of this kind sits
# on. At the node's default rate the panels still change three times a
# second: the Status panel counts the datagrams received. A last run has the
# node stop its updates (keep-alives go on) once the client is connected, so
# that nothing on screen changes at all. It reports; it never fails a build.
#
# Usage, inside a private network namespace (the program opens sockets):
#   tests/support/run_in_netns.sh bench/idle_bench.sh [orvvarnoth] [orv-dbnode] [seconds]
set -u
prog=$(realpath "${1:-build/app/orvvarnoth}")
node=$(realpath "${2:-build/tools/dbnode/orv-dbnode}")
window_s=${3:-20}
settle_s=6  # past the refresh thread's 3 s start delay and the first refreshes
here=$(cd "$(dirname "$0")" && pwd)

if [ "$(ip -o link show | awk -F': ' '{print $2}')" != "lo" ]; then
    echo "Refusing to run outside a private network namespace (use tests/support/run_in_netns.sh)"
    exit 1
fi
dir=$(mktemp -d)
xvfb=""
nodepid=""
client=""
cleanup() {
    [ -n "$client" ] && kill "$client" 2>/dev/null
    [ -n "$nodepid" ] && kill "$nodepid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
. "$here/../scripts/xvfb.sh"
start_xvfb "$dir" || { echo "idle_bench: Xvfb did not start"; exit 1; }
xvfb=$xvfb_pid
unset QT_QPA_PLATFORM

# sample PID: "<CPU ns> <voluntary switches>", summed over its threads
sample() {
    cpu=$(cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f", s}')
    sw=$(cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s + 0}')
    echo "$cpu $sw"
}

# report <label> <before> <after>
report() {
    set -- "$1" $2 $3
    awk -v l="$1" -v c0="$2" -v s0="$3" -v c1="$4" -v s1="$5" -v w="$window_s" 'BEGIN {
        printf "  %-24s CPU %6.3f %% of a core   wake-ups %7.1f /s\n", l, 100 * (c1 - c0) / 1e9 / w, (s1 - s0) / w }'
}

printf 'wait 8\nupdates off\n' > "$dir/quiet.txt"

# run <cfg text> <label> [node arguments]
run() {
    cfg=$1 label=$2
    shift 2
    "$node" --airborne 46.8,8.0,0,3000,250 --pos-every 0 "$@" </dev/null >"$dir/node.txt" 2>&1 &
    nodepid=$!
    sleep 0.5
    rm -rf "$dir/run" && mkdir "$dir/run" && cd "$dir/run" || exit 1
    printf "%s\n" "$cfg" > orvvarnoth.cfg
    "$prog" >client.txt 2>&1 &
    client=$!
    sleep "$settle_s"
    [ $# -gt 0 ] && sleep 5  # past the node's "updates off"
    a=$(sample $client) && b=$(sample $nodepid)
    sleep "$window_s"
    c=$(sample $client) && d=$(sample $nodepid)
    grep -q "Connected to DB" ORVVarnoth.log || echo "  (the program never connected)"
    echo "win $label, ${window_s} s:"
    report "orvvarnoth" "$a" "$c"
    report "orv-dbnode serving it" "$b" "$d"
    kill $client $nodepid; wait $client $nodepid 2>/dev/null
    client="" nodepid=""
    cd "$dir" || exit 1
}

run "win one" one
run "win four" four
run "win one" "one, node updates off" --script "$dir/quiet.txt"
