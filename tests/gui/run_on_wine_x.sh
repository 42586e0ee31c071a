#!/bin/sh
# Runs a Win32 test program under Wine on Xvfb, in a private network
# namespace of its own, with a prefix beside the program.
# Usage: run_on_wine_x.sh <program.exe> [arguments]
[ -z "${ORV_IN_NETNS:-}" ] && ORV_IN_NETNS=1 exec "$(dirname "$0")/../support/run_in_netns.sh" "$0" "$@"
set -u
. "$(dirname "$0")/../support/netns_guard.sh"
. "$(dirname "$0")/../../scripts/xvfb.sh"
. "$(dirname "$0")/../support/wine_x.sh"
dir=$(mktemp -d)
trap 'stop_wine_x; rm -rf "$dir"' EXIT
# ORV_LOGPIXELS=192: the screen's font size of a 200 % screen, in a prefix
# of its own.
start_wine_x "$dir" "$(dirname "$1")/wine-prefix-gui${ORV_LOGPIXELS:-}" || { echo "Xvfb or Wine did not start"; exit 1; }
[ -n "${ORV_LOGPIXELS:-}" ] && wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$ORV_LOGPIXELS" /f </dev/null >/dev/null 2>&1
wine "$@"
