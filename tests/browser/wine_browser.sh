#!/bin/sh
# The browser test against the Windows program under Wine: the exe serves on
# its adapter's address, one end of a veth pair (Win32 lists no adapter for
# loopback alone); orv-dbnode and Chromium stand on the Linux side.
# Usage: wine_browser.sh <orvvarnoth.exe> <orv-dbnode>
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/netns_guard.sh"
require_private_netns
dir=$(mktemp -d)
. "$here/../../scripts/xvfb.sh"
. "$here/../support/wine_x.sh"
add_veth_pair orvb 10.215.7 || { echo "FAIL: veth pair"; exit 1; }
start_xvfb "$dir" && start_wine "$(cd "$(dirname "$1")" && pwd)/wine-prefix-browser" ||
    { echo "FAIL: Xvfb or Wine did not start"; exit 1; }
/usr/bin/python3 "$here/browser_test.py" "$1" "$2" --address 10.215.7.2
code=$?
stop_wine_x
rm -rf "$dir"
exit $code
