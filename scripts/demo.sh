#!/bin/sh
# The demo inside its private network namespace: the DB-node simulator flies
# the sample plan while orvvarnoth connects to it and runs its FMC.
root="$1"
ip link set lo up || exit 1
run="$root/run"
mkdir -p "$run" && cd "$run" || exit 1
rm -f ORVVarnoth.log ORVDefault.log
[ -z "$DISPLAY" ] && export QT_QPA_PLATFORM=offscreen

# The aircraft starts 12 nm south of the first point at 3000 ft, autopilot on;
# LNAV and VNAV are armed once the plan has loaded. Ten times real time.
# The simulator reads commands from this terminal (e.g. "silent 40").
exec 3<&0
"$root/build/tools/dbnode/orv-dbnode" --plan "$root/tools/dbnode/sample_plan.txt" \
    --airborne 46.8,8.0,0,3000,250 --speedup 10 --arm-nav --pos-every 2 <&3 &
node=$!
"$root/build/app/orvvarnoth" &
client=$!
echo "orvvarnoth and orv-dbnode running in a private network namespace; Ctrl-C ends."
echo "Simulator commands: silent N (go quiet N seconds), restart, report; see README."
# The log view ends by itself when the program does.
tail -n +1 -F --pid=$client ORVVarnoth.log 2>/dev/null | sed -u 's/^/[log] /' &

stop() {
    kill $client $node 2>/dev/null
    wait $client
    code=$?
    echo
    echo "orvvarnoth ended with exit code $code. Log: $run/ORVVarnoth.log"
    exit 0
}
trap stop INT TERM
wait $client
echo "orvvarnoth ended with exit code $?."
kill $node 2>/dev/null
