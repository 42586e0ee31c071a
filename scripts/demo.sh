#!/bin/sh
# The demo inside its private network namespace: the DB-node simulator flies
# the sample plan while orvvarnoth connects to it and runs its FMC.
set -e
root="$1"
ip link set lo up
run="$root/run"
mkdir -p "$run"
cd "$run"
[ -z "$DISPLAY" ] && export QT_QPA_PLATFORM=offscreen

"$root/build/tools/dbnode/orv-dbnode" DBNODE_ARGS &
node=$!
"$root/build/shell/orvvarnoth" &
client=$!
trap 'kill $client $node 2>/dev/null; wait; echo; echo "Log: $run/ORVVarnoth.log"' INT TERM EXIT
echo "orvvarnoth and orv-dbnode running in a private network namespace; Ctrl-C ends."
tail -n +1 -F ORVVarnoth.log 2>/dev/null | sed 's/^/[log] /' &
wait $client
