#!/bin/sh
# The real program on a real X server (Xvfb), driven by xdotool, beside the
# DB-node simulator, in this private network namespace. Given the Windows
# program (a .exe), it runs under Wine with the same checks.
# Usage: x11_test.sh <keys|flight|positions|badwin|badsymbol|xlost|secondcopy> <orvvarnoth[.exe]> <orv-dbnode>
set -u
what="$1"; prog="$2"; node_prog="$3"
. "$(dirname "$0")/../support/netns_guard.sh"
require_private_netns
case "$prog" in *.exe) on_wine=1 ;; *) on_wine="" ;; esac
node_args=""
if [ -n "$on_wine" ]; then
    # Win32 lists no adapter for loopback alone: a veth pair in this
    # namespace, the DB node on its far end.
    . "$(dirname "$0")/../support/wine_x.sh"
    add_veth_pair orvx 10.214.7 || { echo "FAIL ($what): veth pair"; exit 1; }
    node_args="--address 10.214.7.2"
    prefix="$(cd "$(dirname "$prog")" && pwd)/wine-prefix-x11"
fi
dir=$(mktemp -d)
cd "$dir" || exit 1
pids=""
cleanup() {
    [ -n "$on_wine" ] && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; }
    kill $pids 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"
}
trap cleanup EXIT
fail() {
    echo "FAIL ($what): $*"
    echo "--- log"; cat ORVVarnoth.log 2>/dev/null
    echo "--- simulator (last lines)"; tail -n 30 node.txt 2>/dev/null
    echo "--- program stderr"; tail -n 20 stderr.txt 2>/dev/null
    exit 1
}
# wait_for <tenths of a second> <command...>
wait_for() {
    t=$1; shift
    while [ "$t" -gt 0 ]; do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; t=$((t - 1)); done
    return 1
}

. "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb "$dir" || fail "Xvfb did not start"
pids="$pids $xvfb_pid"
unset QT_QPA_PLATFORM
if [ -n "$on_wine" ]; then
    # Our own server for the prefix, started here so its sockets stay here.
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null; WINEPREFIX="$prefix" wineserver -w 2>/dev/null
    start_wine "$prefix" || fail "Wine did not start"
fi

start_node() {
    "$node_prog" --rate 20 $node_args </dev/null >node.txt 2>&1 &
    pids="$pids $!"
}
start_program() {
    printf '%s\n' "$1" > orvvarnoth.cfg
    if [ -n "$on_wine" ]; then wine "$prog" >stdout.txt 2>stderr.txt &
    else "$prog" >stdout.txt 2>stderr.txt &
    fi
    client=$!
    pids="$pids $client"
}
window_of() { w=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1); [ -n "$w" ] && echo "$w"; }
sets() { grep -c "^SET $1 = $2\$" node.txt; }
# log_ends_with <message>...: the log's last lines are exactly these messages,
# byte for byte once the leading stamps are gone (a missing line break shows).
log_ends_with() {
    printf '%s\n' "$@" > expected.txt
    sed -E 's/^[0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{3}  //' ORVVarnoth.log | tail -n $# | cmp -s - expected.txt
}

case "$what" in
keys)
    start_node
    start_program "win one"
    wait_for 300 grep -q "Connected to DB" ORVVarnoth.log || fail "no connection"
    wait_for 50 window_of "OrvSim Control" || fail "no combined window"
    sleep 1
    # A key held for a second acts once, however often X repeats it.
    xdotool keydown g; sleep 1; xdotool keyup g; sleep 0.5
    [ "$(sets 47 '[01]')" -eq 1 ] || fail "held G sent $(sets 47 '[01]') sets of 47"
    # Control goes down first and takes the first arrow; once that arrow is
    # released the next press gives the Control variant.
    xdotool keydown ctrl; xdotool keydown Left; xdotool keyup Left
    xdotool keydown Left; xdotool keyup Left; xdotool keyup ctrl; sleep 0.5
    [ "$(sets 106 3)" -eq 0 ] || fail "plain Left variant sent"
    [ "$(sets 106 4)" -eq 1 ] || fail "Control+Left sent $(sets 106 4) times"
    ;;
flight)
    # The sample flight, ten times as fast: the points activated in order,
    # then the end of the plan declared.
    node_args="$node_args --plan $(cd "$(dirname "$0")/../e2e" && pwd)/flight_plan.txt"
    node_args="$node_args --airborne 46.8,8.0,0,3000,250 --pos-every 0 --speedup 10 --arm-nav"
    start_node
    start_program "win one"
    wait_for 300 grep -q "Connected to DB" ORVVarnoth.log || fail "no connection"
    wait_for 2400 grep -q "^SET 222 = 4\$" node.txt || fail "the last point was never activated"
    wait_for 300 sh -c "sed -n '/^SET 222 = 4\$/,\$p' node.txt | grep -q '^SET 216 = 0\$'" ||
        fail "end of plan not declared"
    # (-1, no active point, follows the end)
    order=$(grep '^SET 222 = ' node.txt | grep -v -- '= -1$' | uniq | sed 's/^SET 222 = //' | tr '\n' ' ')
    [ "$order" = "0 1 2 3 4 " ] || fail "points activated as $order"
    ;;
positions)
    start_node
    start_program "win four
ontop yes"
    for title in Status Autopilot "Nav Display" Radios; do
        wait_for 300 window_of "$title" || fail "no window $title"
    done
    # A window is placed once it is mapped; on a busy machine that may come
    # a little after it is found.
    at() {
        info=$(xwininfo -id "$(window_of "$1")")
        x=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
        y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
        [ "$x $y" = "$2" ]
    }
    expected="Status 100 100
Autopilot 130 130
Nav Display 160 160
Radios 190 190"
    echo "$expected" | while read -r line; do
        title=${line% * *}; xy=${line#"$title "}
        wait_for 100 at "$title" "$xy" || { echo "FAIL: $title not at $xy"; exit 1; }
    done || fail "window positions"
    # ontop: each window asks to stay above the others. Only a window
    # manager acts on that; a bare X server keeps it as a property. Wine
    # sets no such property without a window manager: its WS_EX_TOPMOST is
    # checked by the panel window tests.
    above() { xprop -id "$(window_of "$1")" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
    [ -n "$on_wine" ] || for title in Status Autopilot "Nav Display" Radios; do
        wait_for 50 above "$title" || { echo "FAIL: $title does not ask to stay on top"; exit 1; }
    done || fail "ontop"
    ;;
badwin|badsymbol)
    if [ "$what" = badwin ]; then
        start_program "win two"; text="Unknown option for window count: two"
    else
        start_program "statusx 400 Colour red"; text="Unknown symbol in parameter file: colour"
    fi
    wait_for 100 window_of "Parameter Error" || fail "no message box"
    if [ "$what" = badsymbol ]; then
        window_of Status >/dev/null || fail "no Status window owning the box"
        x=$(xwininfo -id "$(window_of Status)" | awk '/Absolute upper-left X/ {print $4}')
        [ "$x" = 400 ] || fail "Status window at x $x, expected 400"
    fi
    sleep 1
    kill -0 $client 2>/dev/null || fail "the program did not wait for the user"
    xdotool key --window "$(window_of "Parameter Error")" Return 2>/dev/null
    wait_for 50 sh -c "! kill -0 $client" || fail "the program did not end after Return"
    wait $client; code=$?
    [ $code -eq 10 ] || fail "exit code $code, expected 10"
    log_ends_with "$text" "Error in parameter file, exiting" || fail "the log does not end with its two lines"
    grep -q "InitUdp" ORVVarnoth.log && fail "the network started"
    ;;
xlost)
    start_program "win one"
    wait_for 100 window_of "OrvSim Control" || fail "no combined window"
    sleep 4  # from 3 s on the refresh thread writes controls through the GUI thread
    kill -9 $xvfb_pid
    wait_for 100 sh -c "! kill -0 $client" || fail "the program did not end without its display"
    wait $client; code=$?
    [ $code -eq $((6060 % 256)) ] || fail "exit code $code, expected 6060 (seen as 172)"
    log_ends_with "Display connection lost" || fail "the log does not end with the stop's line"
    ;;
secondcopy)
    start_program "win one"
    first=$client
    wait_for 100 window_of "OrvSim Control" || fail "no combined window of the first copy"
    mkdir second && cd second || fail "no directory for the second copy"
    start_program "win one"
    wait_for 100 window_of "Port In Use" || fail "no message box about the port in use"
    grep -q "InitUdp() - Monitor socket bind error" ORVVarnoth.log || fail "no bind error in the log"
    xdotool key --window "$(window_of "Port In Use")" Return 2>/dev/null
    wait_for 50 sh -c "[ \$(xdotool search --name '^OrvSim Control\$' | wc -l) -ge 2 ]" ||
        fail "start-up did not go on after the box"
    kill -0 $first $client || fail "a copy ended"
    ;;
*) fail "unknown test" ;;
esac
echo "PASS ($what)"
