#!/bin/sh
# Runs one end-to-end panel case: Xvfb on a free display, the DB-node
# simulator, and the test program (the real program with its steps inside)
# in a fresh working directory, all in this private network namespace.
# Usage: run_e2e_gui.sh <one|four> <orv_e2e_gui_test> <orv-dbnode>
set -u
mode="$1"; test_prog="$2"; node_prog="$3"
. "$(dirname "$0")/../support/netns_guard.sh"
require_private_netns
dir=$(mktemp -d)
cd "$dir" || exit 1
pids=""
cleanup() { kill $pids 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() {
    echo "FAIL ($mode): $*"
    echo "--- program log"; cat ORVVarnoth.log 2>/dev/null
    echo "--- simulator (last lines)"; tail -n 30 node.txt 2>/dev/null
    exit 1
}

. "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb "$(pwd)" || fail "Xvfb did not start: $(cat xvfb.txt)"
pids="$pids $xvfb_pid"
export QT_QPA_PLATFORM=xcb

# No plan and no arming: the FMC stays quiet, so every set comes from the panels.
"$node_prog" --rate 20 </dev/null >node.txt 2>&1 &
pids="$pids $!"
t=100
while ! grep -q '^READY' node.txt 2>/dev/null && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
grep -q '^READY' node.txt || fail "the simulator did not start"

printf 'win %s\n' "$mode" > orvvarnoth.cfg
timeout -k 5 170 "$test_prog" "$mode" "$dir/node.txt"
code=$?
[ $code -eq 0 ] || fail "test program ended with $code"
echo "PASS e2e_gui_$mode"
