#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing,
# and any further packages named as arguments (e.g. the fuzzing toolchain).
set -e
exec sh "$(dirname "$0")/install-missing.sh" cmake ninja-build g++ pkg-config libboost1.81-dev qt6-base-dev libgl-dev \
  libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core iproute2 util-linux procps \
  xvfb xdotool x11-utils imagemagick libxkbcommon-x11-0 libxcb-cursor0 qt6-qpa-plugins \
  chromium chromium-driver python3-selenium gcc-avr avr-libc libsimavr-dev zbar-tools "$@"
