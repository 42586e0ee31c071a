#!/bin/sh
# Start-up of the real program on a virtual X server (Xvfb): the time from
# exec to the "OrvSim Control" window being mapped, and the resident memory
# 5 s after start with that window open. It reports; it never fails a build.
#
# Usage, inside a private network namespace (the program opens sockets):
#   tests/support/run_in_netns.sh bench/startup_bench.sh [orvvarnoth] [runs]
# Defaults: build/app/orvvarnoth, 10 runs. One more run goes first to warm
# the X server and the file cache; it is shown but not counted.
#
# The window is recognised by polling xdotool (by title, viewable); its
# figure is the time at which the X server reported that window's MapNotify
# to a watcher on the root window (xev), stamped as the line was read. When
# the watcher missed it, the figure is the end of the successful poll, which
# is late by up to one poll (the mean poll is printed), and is marked "poll".
set -u
prog=$(realpath "${1:-build/app/orvvarnoth}")
here=$(cd "$(dirname "$0")" && pwd)
runs=${2:-10}
rss_after_s=5
give_up_s=10

if [ "$(ip -o link show | awk -F': ' '{print $2}')" != "lo" ]; then
    echo "Refusing to run outside a private network namespace (use tests/support/run_in_netns.sh)"
    exit 1
fi
for tool in Xvfb xdotool xdpyinfo; do
    command -v "$tool" >/dev/null 2>&1 || { echo "startup_bench: $tool is missing"; exit 1; }
done
[ -x "$prog" ] || { echo "startup_bench: no program at $prog"; exit 1; }

dir=$(mktemp -d)
cd "$dir" || exit 1
xvfb=""
client=""
watcher=""
cleanup() {
    [ -n "$client" ] && kill "$client" 2>/dev/null
    [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

. "$here/../scripts/xvfb.sh"
start_xvfb "$dir" || { echo "startup_bench: Xvfb did not start"; exit 1; }
xvfb=$xvfb_pid
unset QT_QPA_PLATFORM

# Every window mapped on the server, as "<ns since the epoch> <window id>".
stdbuf -oL xev -root -event substructure 2>/dev/null | perl -MTime::HiRes=time -ne '
    BEGIN { $| = 1 } if (/^MapNotify/) { $at = sprintf "%.0f", time * 1e9; next }
    if (defined $at && /window (0x[0-9a-f]+)/) { print "$at ", hex($1), "\n"; undef $at }' > maps.txt &
watcher=$!

printf 'win one\n' > orvvarnoth.cfg
now_ns() { date +%s%N; }

: > times.txt
: > rss.txt
polls_total=0
poll_ns_total=0
i=0
while [ $i -le "$runs" ]; do
    rm -f ORVVarnoth.log
    t0=$(now_ns)
    "$prog" >stdout.txt 2>stderr.txt &
    client=$!
    shown=""
    polls=0
    while :; do
        polls=$((polls + 1))
        window=$(xdotool search --onlyvisible --name '^OrvSim Control$' 2>/dev/null | head -n 1)
        if [ -n "$window" ]; then
            shown=$(now_ns)
            break
        fi
        kill -0 "$client" 2>/dev/null || break
        [ $(( ($(now_ns) - t0) / 1000000000 )) -lt $give_up_s ] || break
    done
    if [ -z "$shown" ]; then
        echo "run $i: no window within ${give_up_s} s (program $(kill -0 "$client" 2>/dev/null && echo running || echo ended))"
        tail -n 5 stderr.txt
        kill "$client" 2>/dev/null; wait "$client" 2>/dev/null; client=""
        i=$((i + 1))
        continue
    fi
    polls_total=$((polls_total + polls))
    poll_ns_total=$((poll_ns_total + shown - t0))
    sleep 0.05  # the watcher's line is written by now
    mapped=$(awk -v t="$t0" -v w="$window" '$1 >= t && $2 == w { print $1; exit }' maps.txt)
    how=xev
    [ -n "$mapped" ] || { mapped=$shown; how=poll; }
    ms=$(awk -v a="$t0" -v b="$mapped" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')
    # Resident memory once the program has settled (the refresh thread starts at 3 s).
    left_ns=$((t0 + rss_after_s * 1000000000 - $(now_ns)))
    [ $left_ns -gt 0 ] && sleep "$(awk -v n="$left_ns" 'BEGIN { printf "%.3f", n / 1e9 }')"
    rss=$(awk '/^VmRSS/ { print $2 }' /proc/"$client"/status 2>/dev/null)
    hwm=$(awk '/^VmHWM/ { print $2 }' /proc/"$client"/status 2>/dev/null)
    kill -TERM "$client" 2>/dev/null
    wait "$client" 2>/dev/null
    client=""
    if [ $i -eq 0 ]; then
        echo "warm-up run: window after $ms ms ($how), VmRSS ${rss:-?} kB (not counted)"
    else
        echo "run $i: window after $ms ms ($how, $polls polls), VmRSS ${rss:-?} kB, VmHWM ${hwm:-?} kB"
        echo "$ms" >> times.txt
        [ -n "$rss" ] && echo "$rss" >> rss.txt
    fi
    i=$((i + 1))
done

# Nearest-rank percentile of a file of numbers.
pct() { sort -n "$1" | awk -v p="$2" '{ v[NR] = $1 } END { if (NR == 0) { print "-"; exit }
    r = int(p * NR); if (r < p * NR) r++; if (r < 1) r = 1; print v[r] }'; }

count=$(wc -l < times.txt)
echo
echo "Start-up of $prog, $count counted runs ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)):"
printf '  %-34s %10s %10s %10s %12s\n' "measurement" median p99 max aim
printf '  %-34s %10s %10s %10s %12s\n' "exec to window mapped (ms)" \
    "$(pct times.txt 0.5)" "$(pct times.txt 0.99)" "$(pct times.txt 1)" \
    "$(awk -v v="$(pct times.txt 0.99)" 'BEGIN { print (v != "-" && v < 300) ? "<300 met" : "<300 MISSED" }')"
rss_p99=$(pct rss.txt 0.99)
printf '  %-34s %10s %10s %10s %12s\n' "VmRSS after ${rss_after_s} s (MB)" \
    "$(awk -v v="$(pct rss.txt 0.5)" 'BEGIN { printf "%.1f", v / 1024 }')" \
    "$(awk -v v="$rss_p99" 'BEGIN { printf "%.1f", v / 1024 }')" \
    "$(awk -v v="$(pct rss.txt 1)" 'BEGIN { printf "%.1f", v / 1024 }')" \
    "$(awk -v v="$rss_p99" 'BEGIN { print (v != "-" && v < 60 * 1024) ? "<60 met" : "<60 MISSED" }')"
[ "$polls_total" -gt 0 ] &&
    awk -v t="$poll_ns_total" -v p="$polls_total" 'BEGIN { printf "  poll resolution: %.1f ms per poll on average\n", t / p / 1e6 }'
exit 0
