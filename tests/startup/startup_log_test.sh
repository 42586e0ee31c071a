#!/bin/sh
# Starts orvvarnoth in a private network namespace and checks the start of its
# log, that it keeps running, and that SIGTERM ends it with exit code 0.
# Usage: startup_log_test.sh <orvvarnoth>
set -u
prog="$1"
if [ "$(ip -o link show | awk -F": " "{print \$2}")" != "lo" ]; then
  echo "Refusing to run outside a private network namespace"; exit 1
fi
dir=$(mktemp -d)
cd "$dir" || exit 1
export QT_QPA_PLATFORM=offscreen
"$prog" >stdout.txt 2>stderr.txt &
pid=$!
i=0
while [ $i -lt 100 ] && ! grep -q "UDP services ver" ORVVarnoth.log 2>/dev/null; do
  sleep 0.1; i=$((i + 1))
done
fail() { echo "FAIL: $*"; echo "--- log"; cat ORVVarnoth.log; echo "--- stderr"; cat stderr.txt; kill $pid 2>/dev/null; exit 1; }

kill -0 $pid 2>/dev/null || fail "program ended during start-up"
stamp=$(date +%y%m%d | sed 's/^0*//')
stamp_re='[0-2][0-9]:[0-5][0-9]:[0-5][0-9]:[0-9][0-9][0-9]  '
[ "$(sed -n 1p ORVVarnoth.log)" = "Log started." ] || fail "first line"
sed -n 2p ORVVarnoth.log | grep -qx "${stamp_re}OrvVarnoth Version: 1\.${stamp} starting\." || fail "version line"
sed -n 3p ORVVarnoth.log | grep -qx "${stamp_re}Initializing Database" || fail "database line"
sed -n 4p ORVVarnoth.log | grep -qx "${stamp_re}InitUdp() - StdVarCount: 235  Allowed: 237" || fail "count line"
grep -q "UDP services ver\. 1\.${stamp} successfully initialized" ORVVarnoth.log || fail "success line"

kill -TERM $pid
wait $pid
code=$?
[ $code -eq 0 ] || fail "exit code $code after SIGTERM"
echo "PASS"
rm -rf "$dir"
