#!/bin/sh
# Makes the release packages in dist/: the Windows zip (the stripped exe, a
# sample orvvarnoth.cfg, how to run it against a DB node), the per-user
# Windows installer orvvarnoth-setup.exe, the exe's symbols
# (orvvarnoth.exe.debug, for crash reports) and the Debian package of the
# Linux program and the DB-node simulator (CPack), built with Debian's
# hardening flags, which lintian checks. Then installs the Debian package once
# into a clean scratch root and starts it there. The packaged Linux build is
# build/ with ORV_HARDEN, the one ./test.sh builds and tests.
set -e
cd "$(dirname "$0")/.."
root="$PWD"
rm -rf dist && mkdir -p dist
# Only the packages are checked with lintian: it is installed here, not
# with the build's dependencies.
sh scripts/install-missing.sh lintian nsis

# The Windows build strips the exe and makes the installer
# (cmake/windows-package.cmake) in build-windows/dist.
sh scripts/build-windows.sh build-windows
made=build-windows/dist
[ -f "$made/orvvarnoth-setup.exe" ] || { echo "no installer: is makensis (nsis) installed?"; exit 1; }
stage="build-windows/zip/orvvarnoth"
rm -rf build-windows/zip && mkdir -p "$stage"
cp "$made/orvvarnoth.exe" packaging/orvvarnoth.cfg packaging/README-windows.txt "$stage/"
(cd build-windows/zip && cmake -E tar cf "$root/dist/orvvarnoth-windows.zip" --format=zip orvvarnoth)
cp "$made/orvvarnoth-setup.exe" "$made/orvvarnoth.exe.debug" dist/

sh scripts/build.sh build -DORV_HARDEN=ON
(cd build && cpack -G DEB -B "$root/dist/deb" >/dev/null)
mv dist/deb/*.deb dist/ && rm -rf dist/deb

# Debian's own checks: every finding shown, only errors and warnings fail.
findings="$(mktemp)"
status=0
lintian --display-info --pedantic --fail-on error,warning dist/*.deb >"$findings" 2>&1 || status=$?
echo "lintian (errors and warnings fail; information and pedantic notes do not):"
grep -v "root privileges is not recommended" "$findings" || true
[ $status -eq 0 ] || { echo "lintian found errors or warnings in the Debian package"; exit 1; }
! grep -q "hardening-" "$findings" || { echo "the packaged binaries lack Debian's hardening"; exit 1; }
rm -f "$findings"

# The package installed by dpkg into a clean scratch root (its own dpkg
# database; the system libraries it depends on are the host's), then run
# once there: the program starts, opens its window offscreen, and ends with
# 0 on SIGTERM; the simulator answers --help. In a private network namespace.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/var/lib/dpkg/updates" "$scratch/var/lib/dpkg/info" "$scratch/work"
touch "$scratch/var/lib/dpkg/status"
dpkg --root="$scratch" --force-depends --force-not-root -i dist/*.deb >/dev/null
cp "$scratch/usr/share/orvvarnoth/orvvarnoth.cfg" "$scratch/work/"
unshare -n sh -c '
  set -e
  ip link set lo up
  "$1/usr/bin/orv-dbnode" --help >/dev/null
  cd "$1/work"
  QT_QPA_PLATFORM=offscreen "$1/usr/bin/orvvarnoth" & pid=$!
  sleep 3
  kill -TERM $pid
  wait $pid
  grep -q "Log started" ORVVarnoth.log
' check "$scratch"
echo "package installed into a scratch root and run once: ok"
ls -l dist
