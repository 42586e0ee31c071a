#!/bin/sh
# Makes the README's pictures: the program and the DB-node simulator fly the
# sample plan under Xvfb, inside a private network namespace, and the combined
# window and the four-window layout are photographed into docs/, and the
# panels in headless Chromium: a tablet-sized page, one panel on a phone, the
# page at night and its Share dialog (served on a veth pair's address, as a
# cockpit PC's would be).
# Usage: scripts/pictures.sh [web]   (after ./run.sh or scripts/build.sh build;
# "web": the browser pictures only)
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
if [ "$1" != "--inside" ]; then
    [ "$(id -u)" -ne 0 ] && SUDO="sudo" || SUDO=""
    exec $SUDO unshare -n sh "$0" --inside "$@"
fi
only="$2"
ip link set lo up
work=$(mktemp -d)
trap 'kill $node $xvfb 2>/dev/null; rm -rf "$work"' EXIT
. "$root/scripts/xvfb.sh"
start_xvfb "$work" || { echo "Xvfb did not start"; exit 1; }
xvfb=$xvfb_pid

"$root/build/tools/dbnode/orv-dbnode" --plan "$root/tools/dbnode/sample_plan.txt" \
    --airborne 46.8,8.0,0,3000,250 --speedup 10 --arm-nav --pos-every 0 </dev/null >"$work/node.txt" &
node=$!

# shoot <cfg text> <seconds> <output> <window title or "root">
shoot() {
    rm -rf "$work/run" && mkdir "$work/run" && cd "$work/run"
    printf '%s\n' "$1" > orvvarnoth.cfg
    "$root/build/app/orvvarnoth" &
    client=$!
    sleep "$2"
    if [ "$4" = root ]; then
        import -window root -crop "$5" +repage "$3"
    else
        import -window "$(xdotool search --name "^$4\$" | head -n 1)" "$3"
    fi
    kill $client; wait $client || true
    cd "$root"
    echo "wrote $3"
}

[ "$only" != web ] && shoot "win one" 25 "$root/docs/combined.png" "OrvSim Control"
[ "$only" != web ] && shoot "win four
statusx 10 statusy 10 autox 420 autoy 10 navx 10 navy 280 radiosx 420 radiosy 280" 25 \
    "$root/docs/four-windows.png" root 830x540+0+0

# The web panels: the program serves them while headless Chromium looks.
rm -rf "$work/run" && mkdir "$work/run" && cd "$work/run"
printf 'win one\nweb 8080\nwebcontrol 127.0.0.1\n' > orvvarnoth.cfg
"$root/build/app/orvvarnoth" &
client=$!
sleep 20
for shot in "/ 1024x768 web-panels" "/autopilot 390x844 web-panels-phone"; do
    set -- $shot
    /usr/bin/python3 "$root/scripts/web_browser.py" "http://127.0.0.1:8080$1" "$2" "$root/docs/$3.png"
    echo "wrote $root/docs/$3.png"
done
kill $client; wait $client || true

# At night, and Share, as a tablet on the cockpit network would see them
# (the same DB node, found from the program's adapter).
ip link add orvp0 type veth peer name orvp1
ip addr add 192.168.1.20/24 dev orvp0 && ip addr add 192.168.1.21/24 dev orvp1
ip link set orvp0 up && ip link set orvp1 up
rm -rf "$work/run" && mkdir "$work/run" && cd "$work/run"
printf 'win one\nadapter 192.168.1.20\nweb 8080\nwebcontrol 192.168.1.0/24\n' > orvvarnoth.cfg
"$root/build/app/orvvarnoth" &
client=$!
sleep 20
for shot in "web-panels-night --click night" "web-share --click share"; do
    set -- $shot
    /usr/bin/python3 "$root/scripts/web_browser.py" "http://192.168.1.20:8080/" 1024x768 "$root/docs/$1.png" "$2" "$3"
    echo "wrote $root/docs/$1.png"
done
kill $client; wait $client || true
