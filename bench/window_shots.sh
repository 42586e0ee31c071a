#!/bin/sh
# Photographs both window modes of a given build on Xvfb, connected to
# orv-dbnode holding a steady aircraft (level, straight, no plan), so that
# two builds can be compared pixel by pixel:
#   compare -metric AE a/one.png b/one.png diff.png
#
# Usage, inside a private network namespace (the program opens sockets):
#   tests/support/run_in_netns.sh bench/window_shots.sh OUTDIR [orvvarnoth] [orv-dbnode] [seconds]
# Writes OUTDIR/one.png (the combined window) and OUTDIR/four.png (the four
# windows, cropped from the screen).
set -u
out=$(mkdir -p "$1" && realpath "$1")
prog=$(realpath "${2:-build/app/orvvarnoth}")
node=$(realpath "${3:-build/tools/dbnode/orv-dbnode}")
wait_s=${4:-8}
here=$(cd "$(dirname "$0")" && pwd)

if [ "$(ip -o link show | awk -F': ' '{print $2}')" != "lo" ]; then
    echo "Refusing to run outside a private network namespace (use tests/support/run_in_netns.sh)"
    exit 1
fi
dir=$(mktemp -d)
xvfb=""
nodepid=""
cleanup() {
    [ -n "$nodepid" ] && kill "$nodepid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
. "$here/../scripts/xvfb.sh"
start_xvfb "$dir" || { echo "window_shots: Xvfb did not start"; exit 1; }
xvfb=$xvfb_pid
unset QT_QPA_PLATFORM

# shoot <cfg text> <output> <window title, or a crop of the screen>
shoot() {
    "$node" --airborne 46.8,8.0,0,3000,250 --pos-every 0 </dev/null >"$dir/node.txt" 2>&1 &
    nodepid=$!
    sleep 0.5
    rm -rf "$dir/run" && mkdir "$dir/run" && cd "$dir/run" || exit 1
    printf '%s\n' "$1" > orvvarnoth.cfg
    "$prog" >client.txt 2>&1 &
    client=$!
    sleep "$wait_s"
    case "$3" in
        *x*+*) import -window root -crop "$3" +repage "$2" ;;
        *) import -window "$(xdotool search --name "^$3\$" | head -n 1)" "$2" ;;
    esac
    kill $client $nodepid; wait $client $nodepid 2>/dev/null
    nodepid=""
    cd "$dir" || exit 1
    echo "wrote $2"
}

shoot "win one" "$out/one.png" "OrvSim Control"
shoot "win four
statusx 10 statusy 10 autox 420 autoy 10 navx 10 navy 280 radiosx 420 radiosy 280" \
    "$out/four.png" 830x540+0+0
