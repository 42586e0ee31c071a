#!/bin/sh
# Runs a command inside a new private network namespace with lo up, so that
# nothing it sends can reach the machine's real network.
exec unshare -n sh -c 'ip link set lo up && exec "$@"' run_in_netns "$@"
