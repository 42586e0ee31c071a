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
# Only the packages are checked with lintian and desktop-file-validate:
# they are installed here, not with the build's dependencies.
sh scripts/install-missing.sh lintian desktop-file-utils nsis icoutils

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
# The exe carries its icon and the project's version (UTF-16 in the
# resource: read with the zero bytes dropped).
version=$(sed -n 's/^project(orvvarnoth VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project version in CMakeLists.txt"; exit 1; }
wrestool -l "$made/orvvarnoth.exe" | grep -q "type=icon" || { echo "the exe has no icon"; exit 1; }
wrestool -x --raw --type=16 "$made/orvvarnoth.exe" | tr -d '\000' | grep -aq "ProductVersion$version" ||
  { echo "the exe's version resource lacks $version"; exit 1; }

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
# once there, in a private network namespace: the menu entry's start makes
# the user's folder with the sample parameter file, the program opens its
# window offscreen there, connects to the packaged simulator flying the
# sample plan, logs in that folder, and ends with 0 on SIGTERM.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/var/lib/dpkg/updates" "$scratch/var/lib/dpkg/info" "$scratch/home"
touch "$scratch/var/lib/dpkg/status"
dpkg --root="$scratch" --force-depends --force-not-root -i dist/*.deb >/dev/null
desktop-file-validate "$scratch/usr/share/applications/orvvarnoth.desktop"
menu_start=$(sed -n 's/^Exec=//p' "$scratch/usr/share/applications/orvvarnoth.desktop")
[ -f "$scratch$menu_start" ] || { echo "the menu entry starts $menu_start, which the package lacks"; exit 1; }
icon=$(sed -n 's/^Icon=//p' "$scratch/usr/share/applications/orvvarnoth.desktop")
[ -f "$scratch/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || { echo "no icon $icon"; exit 1; }
# Every file the packaged README links to is beside it.
doc="$scratch/usr/share/doc/orvvarnoth"
for link in $(grep -o '](docs/[^)]*)' "$doc/README.md" | sed 's/^](//; s/)$//' | sort -u); do
  [ -f "$doc/$link" ] || { echo "README.md links $link, which the package lacks"; exit 1; }
done
unshare -n sh -c '
  set -e
  ip link set lo up
  "$1/usr/bin/orv-dbnode" --help >/dev/null
  "$1/usr/bin/orv-dbnode" --plan "$1/usr/share/orvvarnoth/sample_plan.txt" >/dev/null </dev/null & node=$!
  HOME="$1/home" XDG_CONFIG_HOME= QT_QPA_PLATFORM=offscreen "$1$2" & pid=$!
  log="$1/home/.config/orvvarnoth/ORVVarnoth.log"
  for i in $(seq 100); do grep -q "Connected to DB" "$log" 2>/dev/null && break; sleep 0.1; done
  kill -TERM $pid $node
  wait $pid
  grep -q "GetUdpMsg() - Connected to DB" "$log" || { echo "the packaged program did not connect"; exit 1; }
  cmp -s "$1/home/.config/orvvarnoth/orvvarnoth.cfg" "$1/usr/share/orvvarnoth/orvvarnoth.cfg" ||
    { echo "the menu start made no parameter file"; exit 1; }
' check "$scratch" "$menu_start"
echo "package installed into a scratch root and run once: ok"
ls -l dist
