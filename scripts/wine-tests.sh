#!/bin/sh
# Runs the Windows build's tests (default build-windows) under Wine through
# CTest, passing further arguments to CTest. Everything happens inside one
# private network namespace: Wine's sockets and adapter list belong to the
# prefix's wineserver, so the prefix (under the build directory) gets its
# server started inside the namespace and ended before leaving it.
set -e
cd "$(dirname "$0")/.."
dir="$(cd "${1:-build-windows}" && pwd)"
[ $# -gt 0 ] && shift
exec unshare -n sh -c '
  set -e
  dir="$1"; shift
  ip link set lo up
  # Win32 lists no adapter for loopback alone, so the link would find no
  # broadcast address: a veth pair with private addresses, in here only.
  ip link add orvw0 type veth peer name orvw1
  ip addr add 10.213.7.1/24 dev orvw0
  ip addr add 10.213.7.2/24 dev orvw1
  ip link set orvw0 up
  ip link set orvw1 up
  export ORV_WINE_NETNS=1 WINEPREFIX="$dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # A server of this prefix left running outside would carry the real
  # network into the tests: end it, then start ours here.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  trap "wineserver -k 2>/dev/null || true" EXIT
  # A persistent server, and the prefix made once, with their output sent
  # away: otherwise every test waits for background processes holding the
  # output pipe of CTest.
  wineserver -p 120 </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  cd "$dir"
  status=0
  ctest --output-on-failure -j 2 --timeout 300 "$@" || status=$?
  exit $status
' wine-tests "$dir" "$@"
