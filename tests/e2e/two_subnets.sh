#!/bin/sh
# Client on two private subnets, DB node on the first: without keywords, with
# `adapter`, with `dbnode`. Usage: two_subnets.sh <orv-dbnode> <orvvarnoth>
set -u
node_prog="$1" prog="$2" work=$(mktemp -d)
. "$(dirname "$0")/../support/netns_guard.sh"
require_private_netns
export QT_QPA_PLATFORM=offscreen
fail() { echo "FAIL: $*"; tail -n +1 "$work"/*.log "$work"/*.txt; exit 1; }
unshare -n sleep 600 & nsb=$!  # the node's namespace, holding b1
unshare -n sleep 600 & nsc=$!  # the far end of the second subnet, b2
pids="$nsb $nsc"
trap 'kill $pids 2>/dev/null' EXIT
sleep 0.2
for n in 1 2; do
  ip link add a$n type veth peer name b$n && ip addr add 10.91.$n.1/24 dev a$n && ip link set a$n up || fail veth
done
ip link set b1 netns "$nsb" && ip link set b2 netns "$nsc" || fail "moving veth ends"
# The node's side reaches the second subnet through the client's host, as through a router.
nsenter -t "$nsb" -n sh -c 'ip link set lo up && ip addr add 10.91.1.2/24 dev b1 && ip link set b1 up &&
  ip route add 10.91.2.0/24 via 10.91.1.1'
nsenter -t "$nsc" -n sh -c 'ip addr add 10.91.2.2/24 dev b2 && ip link set b2 up && ip route add default via 10.91.2.1'
timeout 10 nsenter -t "$nsc" -n "$node_prog" </dev/null >/dev/null 2>&1
[ $? -eq 3 ] || fail "orv-dbnode started beside a default route"
nsenter -t "$nsb" -n "$node_prog" --address 10.91.1.2 >"$work/node.txt" 2>&1 </dev/null &
pids="$pids $!"
# One line "<interface> broadcast|unicast" per UDP datagram to port 9019 leaving a1 or a2.
python3 -u - >>"$work/count.txt" <<'PY' &
import socket, select
socks = {socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(3)): n for n in ("a1", "a2")}
for s, n in socks.items(): s.bind((n, 0))  # all protocols: outgoing frames too
while True:
    for s in select.select(list(socks), [], [])[0]:
        f = s.recv(2048)
        ihl = 14 + (f[14] & 15) * 4
        if f[12:14] == b"\x08\x00" and f[23] == 17 and f[ihl + 2:ihl + 4] == (9019).to_bytes(2, "big"):
            print(socks[s], "broadcast" if f[33] == 255 else "unicast")
PY
pids="$pids $!"
sleep 0.5
# run_client <name> <parameter file>: runs the client for 20 s or until it connects.
run_client() {
  mkdir -p "$work/$1" && cd "$work/$1" && printf '%s\n' "$2" >orvvarnoth.cfg && : >"$work/count.txt" || exit 1
  "$prog" >stdout.txt 2>&1 &
  i=0
  while [ $i -lt 200 ] && ! grep -q "Connected to DB" ORVVarnoth.log 2>/dev/null; do sleep 0.1; i=$((i + 1)); done
  kill $! && wait $!
  cp ORVVarnoth.log "$work/$1.log"
}
logged() { grep -q "$2" "$work/$1.log"; }
sent() { grep -c "^$1 $2" "$work/count.txt"; }  # datagrams leaving interface $1
run_client plain ""
logged plain "Connected to DB" && fail "connected without keywords"
logged plain "Selected IP: 10.91.2.1" || fail "the last adapter's address was not announced"
[ "$(sent a2 broadcast)" -ge 1 ] && [ "$(sent a1 broadcast)" -eq 0 ] || fail "broadcasts not on the last subnet only"
run_client adapter "adapter A1"
logged adapter "Connected to DB" && logged adapter "Adapter chosen by parameter file: a1 10.91.1.1/255.255.255.0" ||
  fail "adapter a1"
[ "$(sent a1 broadcast)" -ge 1 ] && [ "$(sent a2 broadcast)" -eq 0 ] || fail "broadcasts not on the first subnet only"
run_client dbnode "dbnode 10.91.1.2"
logged dbnode "Connected to DB" && logged dbnode "DB node chosen by parameter file: 10.91.1.2" || fail "dbnode"
[ "$(sent a1 unicast)" -ge 1 ] && [ "$(sent a1 broadcast)$(sent a2 broadcast)" = 00 ] || fail "requests not by unicast alone"
