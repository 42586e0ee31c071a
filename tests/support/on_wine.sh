#!/bin/sh
# Runs a test command against a Windows program under Wine on Xvfb, in this
# private network namespace: the prefix's own wineserver, started here, and
# a veth pair, whose far address the command is given as "--address A"
# (Win32 lists no adapter for loopback alone). orv-dbnode, the simulators
# and Chromium stand on the Linux side.
# Usage: on_wine.sh <veth name> <a.b.c> <prefix dir> COMMAND [ARG...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/netns_guard.sh"
require_private_netns
veth="$1"; net="$2"; prefix="$3"; shift 3
dir=$(mktemp -d)
. "$here/../../scripts/xvfb.sh"
. "$here/wine_x.sh"
add_veth_pair "$veth" "$net" || { echo "FAIL: veth pair"; exit 1; }
start_xvfb "$dir" && start_wine "$prefix" || { echo "FAIL: Xvfb or Wine did not start"; exit 1; }
"$@" --address "$net.2"
code=$?
stop_wine_x
rm -rf "$dir"
exit $code
