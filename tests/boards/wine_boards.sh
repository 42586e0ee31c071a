#!/bin/sh
# The boards' end-to-end test against the Windows program under Wine: the
# board is COM5 of the test's prefix, linked to the simulator's pseudo-
# terminal; orv-dbnode and the simulator stand on the Linux side.
# Usage: wine_boards.sh <orvvarnoth.exe> <orv-dbnode> <orv-boardsim> <firmware.elf> <work dir>
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/netns_guard.sh"
require_private_netns
dir=$(mktemp -d)
. "$here/../../scripts/xvfb.sh"
. "$here/../support/wine_x.sh"
add_veth_pair orvh 10.216.7 || { echo "FAIL: veth pair"; exit 1; }
start_xvfb "$dir" && start_wine "$(cd "$(dirname "$1")" && pwd)/wine-prefix-boards" ||
    { echo "FAIL: Xvfb or Wine did not start"; exit 1; }
/usr/bin/python3 "$here/boards_e2e.py" "$@" --address 10.216.7.2
code=$?
stop_wine_x
rm -rf "$dir"
exit $code
