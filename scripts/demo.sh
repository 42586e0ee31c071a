#!/bin/sh
# The demo inside its private network namespace: the DB-node simulator flies
# the sample plan while orvvarnoth connects to it and runs its FMC.
set -e
root="$1"
ip link set lo up
run="$root/run"
mkdir -p "$run"
cd "$run"
rm -f ORVVarnoth.log ORVDefault.log
[ -z "$DISPLAY" ] && export QT_QPA_PLATFORM=offscreen

# The aircraft starts 12 nm south of the first point at 3000 ft, autopilot on;
# LNAV and VNAV are armed once the plan has loaded. Ten times real time.
"$root/build/tools/dbnode/orv-dbnode" --plan "$root/tools/dbnode/sample_plan.txt" \
    --airborne 46.8,8.0,0,3000,250 --speedup 10 --arm-nav --pos-every 2 </dev/null &
node=$!
"$root/build/shell/orvvarnoth" &
client=$!
trap 'kill $client $node 2>/dev/null; wait; echo; echo "Log: $run/ORVVarnoth.log"' INT TERM EXIT
echo "orvvarnoth and orv-dbnode running in a private network namespace; Ctrl-C ends."
tail -n +1 -F ORVVarnoth.log 2>/dev/null | sed -u 's/^/[log] /' &
wait $client
