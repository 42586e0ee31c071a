#!/bin/sh
# Cross-builds the Windows program and its tests with MinGW-w64 into the
# given directory (default: build-windows), passing further arguments to
# CMake. The exe lands in <dir>/app/orvvarnoth.exe.
set -e
cd "$(dirname "$0")/.."
dir="${1:-build-windows}"
[ $# -gt 0 ] && shift
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
