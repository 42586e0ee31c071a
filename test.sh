#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite. The build
# carries Debian's hardening flags (ORV_HARDEN): it is the one packaged.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh
sh scripts/build.sh build -DORV_HARDEN=ON
cd build && ctest --output-on-failure -j 2 --timeout 600
