#!/bin/sh
# Installs what is missing, builds, and runs the program against the bundled
# DB-node simulator. Both run inside a private network namespace, so nothing
# is ever broadcast on this machine's real network. The panels open on the
# user's display, or on a virtual one (with screenshots in run/) when there
# is none. Closing the last panel window, or Ctrl-C, ends the demo.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh
sh scripts/build.sh build
if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=DISPLAY,XAUTHORITY,WAYLAND_DISPLAY,XDG_RUNTIME_DIR \
        unshare -n sh scripts/demo.sh "$(pwd)"
fi
exec unshare -n sh scripts/demo.sh "$(pwd)"
