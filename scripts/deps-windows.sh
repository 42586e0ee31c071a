#!/bin/sh
# Installs the Debian packages of the Windows cross build and its Wine
# tests, when missing (googletest sources come with libgtest-dev; the window
# and X server tests need Xvfb, xdotool and xwininfo).
set -e
PKGS="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wine wine64 \
googletest iproute2 util-linux cmake ninja-build xvfb xdotool x11-utils"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq || true
$SUDO apt-get install -y -qq --no-install-recommends $missing
