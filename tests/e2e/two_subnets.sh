#!/bin/sh
# The client on two private subnets, the DB node on the first one only:
#   no keywords  the client broadcasts on the last subnet and never connects;
#   adapter a1   it broadcasts on the first one and connects;
#   dbnode ADDR  it connects by unicast, with no broadcast on either subnet.
# Datagrams to port 9019 are counted per subnet as they leave the client.
# Usage: two_subnets.sh <orv-dbnode> <orvvarnoth>
set -u
node_prog="$1"
prog="$2"
. "$(dirname "$0")/../support/netns_guard.sh"
require_private_netns
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
pids=""
cleanup() { for p in $pids; do kill "$p" 2>/dev/null; done; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log "$work"/*.txt; do echo "--- $f"; cat "$f"; done; exit 1; }

# Namespaces of our own for the node (b1) and for the far end of the second subnet (b2).
unshare -n sleep 600 & nsb=$!
unshare -n sleep 600 & nsc=$!
pids="$nsb $nsc"
sleep 0.2
ip link add a1 type veth peer name b1 && ip link add a2 type veth peer name b2 || fail "veth"
ip link set b1 netns "$nsb" && ip link set b2 netns "$nsc" || fail "moving veth ends"
ip addr add 10.91.1.1/24 dev a1 && ip link set a1 up
ip addr add 10.91.2.1/24 dev a2 && ip link set a2 up
in_b() { nsenter -t "$nsb" -n "$@"; }
in_c() { nsenter -t "$nsc" -n "$@"; }
in_b ip link set lo up && in_b ip addr add 10.91.1.2/24 dev b1 && in_b ip link set b1 up
in_c ip link set lo up && in_c ip addr add 10.91.2.2/24 dev b2 && in_c ip link set b2 up
# The first subnet reaches the second through the client's host, as through a router.
in_b ip route add 10.91.2.0/24 via 10.91.1.1

# A node must still refuse a namespace with a default route.
in_c ip route add default via 10.91.2.1
timeout 10 nsenter -t "$nsc" -n "$node_prog" >/dev/null 2>&1 </dev/null
[ $? -eq 3 ] || fail "orv-dbnode started beside a default route"

in_b "$node_prog" --address 10.91.1.2 >"$work/node.txt" 2>&1 </dev/null &
pids="$pids $!"

# count: prints "<interface> <broadcast|unicast>" for each UDP datagram to
# port 9019 leaving a1 or a2.
python3 -u - >>"$work/count.txt" <<'PY' &
import socket, struct, select
socks = {}
for name in ("a1", "a2"):
    # Only sockets for every protocol see the frames a host sends.
    s = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(3))
    s.bind((name, 0))
    socks[s] = name
while True:
    for s in select.select(list(socks), [], [])[0]:
        frame = s.recv(2048)
        if frame[12:14] != b"\x08\x00": continue
        ip = frame[14:]
        if len(ip) < 28 or ip[9] != 17: continue
        ihl = (ip[0] & 15) * 4
        if struct.unpack("!H", ip[ihl + 2:ihl + 4])[0] != 9019: continue
        print(socks[s], "broadcast" if ip[19] == 255 else "unicast")
PY
pids="$pids $!"
sleep 0.5

# run_client <name> <parameter file> <seconds>: runs the client that long or
# until it connects; leaves its log in $work/<name>.log.
run_client() {
  dir="$work/$1"
  mkdir -p "$dir" && cd "$dir" || exit 1
  printf '%s\n' "$2" >orvvarnoth.cfg
  : >"$work/count.txt"
  "$prog" >stdout.txt 2>stderr.txt &
  client=$!
  i=0
  while [ $i -lt $(($3 * 10)) ] && ! grep -q "Connected to DB" ORVVarnoth.log 2>/dev/null; do
    sleep 0.1; i=$((i + 1))
  done
  kill $client; wait $client
  cp ORVVarnoth.log "$work/$1.log"
}
connected() { grep -q "Connected to DB" "$work/$1.log"; }
sent() { grep -c "^$1 $2" "$work/count.txt"; }

run_client plain "" 20
connected plain && fail "connected without keywords"
grep -q "Selected IP: 10.91.2.1" "$work/plain.log" || fail "the last adapter's address was not announced"
[ "$(sent a2 broadcast)" -ge 1 ] && [ "$(sent a1 broadcast)" -eq 0 ] || fail "broadcasts not on the last subnet only"

run_client adapter "adapter A1" 20
connected adapter || fail "no connection with adapter a1"
grep -q "Adapter chosen by parameter file: a1 10.91.1.1/255.255.255.0" "$work/adapter.log" || fail "adapter line"
[ "$(sent a1 broadcast)" -ge 1 ] && [ "$(sent a2 broadcast)" -eq 0 ] || fail "broadcasts not on the first subnet only"

run_client dbnode "dbnode 10.91.1.2" 20
connected dbnode || fail "no connection with dbnode"
grep -q "DB node chosen by parameter file: 10.91.1.2" "$work/dbnode.log" || fail "dbnode line"
[ "$(sent a1 unicast)" -ge 1 ] && [ "$(sent a1 broadcast)" -eq 0 ] && [ "$(sent a2 broadcast)" -eq 0 ] ||
  fail "requests not by unicast alone"
echo "PASS"
