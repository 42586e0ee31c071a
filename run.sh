#!/bin/sh
# Installs what is missing, builds, and runs the program against the bundled
# DB-node simulator. Both run inside a private network namespace, so nothing
# is ever broadcast on this machine's real network. Ctrl-C ends the demo.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh
sh scripts/build.sh build
[ "$(id -u)" -ne 0 ] && SUDO="sudo" || SUDO=""
exec $SUDO unshare -n sh scripts/demo.sh "$(pwd)"
