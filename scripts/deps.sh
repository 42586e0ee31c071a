#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing,
# and any further packages named as arguments (e.g. the fuzzing toolchain).
set -e
PKGS="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
libbenchmark-dev fonts-dejavu-core iproute2 util-linux procps \
xvfb xdotool x11-utils imagemagick libxkbcommon-x11-0 libxcb-cursor0 qt6-qpa-plugins $*"
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
