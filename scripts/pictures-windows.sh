#!/bin/sh
# Photographs the Windows program under Wine on Xvfb while it flies the sample
# plan against the Linux build's DB-node simulator, inside a private network
# namespace (loopback and a veth pair with private addresses), with Wine's own
# fonts: docs/windows-combined.png (the combined window at 96 DPI),
# docs/win-radios.png (the Radios window) and docs/win-192dpi.png (the
# combined window with LogPixels 192, a screen scaled to 200 %).
# Usage: scripts/pictures-windows.sh   (after scripts/build.sh build and
#        scripts/build-windows.sh build-windows)
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
if [ "$1" != "--inside" ]; then
    [ "$(id -u)" -ne 0 ] && SUDO="sudo" || SUDO=""
    exec $SUDO unshare -n sh "$0" --inside
fi
ip link set lo up
. "$root/scripts/xvfb.sh"
. "$root/tests/support/wine_x.sh"
# Windows lists no adapter for loopback alone: the node sits on the far end.
add_veth_pair orvp 10.215.7
work=$(mktemp -d)
trap 'kill $node 2>/dev/null; stop_wine_x; rm -rf "$work"' EXIT
ORV_XVFB_SCREEN=2000x1700x24 start_xvfb "$work" || { echo "Xvfb did not start"; exit 1; }
start_wine "$root/build-windows/wine-prefix-pictures"

"$root/build/tools/dbnode/orv-dbnode" --address 10.215.7.2 --plan "$root/tools/dbnode/sample_plan.txt" \
    --airborne 46.8,8.0,0,3000,250 --speedup 10 --arm-nav --pos-every 0 </dev/null >"$work/node.txt" &
node=$!

# logpixels <dpi>: the screen's font size that programs started next see.
logpixels() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
# shoot <cfg text> <seconds> <output> <window title>
shoot() {
    rm -rf "$work/run" && mkdir "$work/run" && cd "$work/run"
    printf '%s\n' "$1" > orvvarnoth.cfg
    wine "$root/build-windows/app/orvvarnoth.exe" >/dev/null 2>&1 &
    client=$!
    sleep "$2"
    window=$(xdotool search --name "^$4\$" | head -n 1)
    import -window "$window" "$3"
    echo "wrote $3 ($(identify -format '%wx%h' "$3"), the window $(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p'))"
    kill $client; wait $client 2>/dev/null || true
    cd "$root"
}

logpixels 96
shoot "win one" 25 "$root/docs/windows-combined.png" "OrvSim Control"
shoot "win four
showstatus no showauto no shownav no radiosx 10 radiosy 10" 15 "$root/docs/win-radios.png" "Radios"
logpixels 192
shoot "win one" 25 "$root/docs/win-192dpi.png" "OrvSim Control"
logpixels 96
