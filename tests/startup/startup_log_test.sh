#!/bin/sh
# Starts orvvarnoth in a private network namespace and checks the start of its
# log, the order of the start-up lines, that it keeps running with its windows
# open, and that SIGTERM ends it with exit code 0. Runs once without a
# parameter file and once with one that turns on the FMC diagnostics.
# Usage: startup_log_test.sh <orvvarnoth>
set -u
prog="$1"
. "$(dirname "$0")/../support/netns_guard.sh"
require_private_netns
export QT_QPA_PLATFORM=offscreen
stamp=$(date +%y%m%d | sed 's/^0*//')
stamp_re='[0-2][0-9]:[0-5][0-9]:[0-5][0-9]:[0-9][0-9][0-9]  '

# line_of <text>: number of the first log line holding the text, or 0.
line_of() { n=$(grep -n -m 1 -F "$1" ORVVarnoth.log | cut -d: -f1); echo "${n:-0}"; }

# run_case <name> <parameter file contents, empty for no file>
run_case() {
  name="$1"
  dir=$(mktemp -d)
  cd "$dir" || exit 1
  [ -n "$2" ] && printf '%s\n' "$2" > orvvarnoth.cfg
  "$prog" >stdout.txt 2>stderr.txt &
  pid=$!
  i=0
  while [ $i -lt 100 ] && ! grep -q "Starting Update Thread" ORVVarnoth.log 2>/dev/null; do
    sleep 0.1; i=$((i + 1))
  done
  fail() { echo "FAIL ($name): $*"; echo "--- log"; cat ORVVarnoth.log; echo "--- stderr"; cat stderr.txt; kill $pid 2>/dev/null; exit 1; }

  kill -0 $pid 2>/dev/null || fail "program ended during start-up"
  [ "$(sed -n 1p ORVVarnoth.log)" = "Log started." ] || fail "first line"
  sed -n 2p ORVVarnoth.log | grep -qx "${stamp_re}OrvVarnoth Version: 1\.${stamp} starting\." || fail "version line"
  sed -n 3p ORVVarnoth.log | grep -qx "${stamp_re}Initializing Database" || fail "database line"
  sed -n 4p ORVVarnoth.log | grep -qx "${stamp_re}InitUdp() - StdVarCount: 235  Allowed: 237" || fail "count line"
  grep -q "UDP services ver\. 1\.${stamp} successfully initialized" ORVVarnoth.log || fail "success line"
  link=$(line_of "UDP services ver.")
  update=$(line_of "Starting Update Thread")
  [ "$link" -gt 4 ] && [ "$update" -gt "$link" ] || fail "update thread line before the link line"
  fmc=$(line_of "InitFMC() - called")
  case "$2" in
    *debugfmc*) [ "$fmc" -gt "$link" ] && [ "$update" -gt "$fmc" ] || fail "FMC line out of order" ;;
    *) [ "$fmc" -eq 0 ] || fail "FMC diagnostics without debugfmc" ;;
  esac

  kill -TERM $pid
  wait $pid
  code=$?
  [ $code -eq 0 ] || fail "exit code $code after SIGTERM"
  cd / && rm -rf "$dir"
}

run_case "no parameter file" ""
run_case "FMC diagnostics" "debugfmc on"
echo "PASS"
