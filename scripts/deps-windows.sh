#!/bin/sh
# Installs the Debian packages of the Windows cross build and its Wine
# tests, when missing (googletest sources come with libgtest-dev; the window
# and X server tests need Xvfb, xdotool and xwininfo, and Wine's own fonts,
# which --no-install-recommends leaves out; the browser host uses the same
# Boost headers as on Linux; nsis makes the installer, which the tests
# install; icoutils' wrestool reads the installed exe's icon and version).
set -e
exec sh "$(dirname "$0")/install-missing.sh" g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  mingw-w64-x86-64-dev libboost1.81-dev wine wine64 googletest iproute2 util-linux cmake ninja-build xvfb xdotool x11-utils fonts-wine \
  nsis icoutils
