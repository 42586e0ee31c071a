#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh
sh scripts/build.sh build
cd build && ctest --output-on-failure -j 2 --timeout 600
