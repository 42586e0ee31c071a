#!/bin/sh
# The Windows installer under Wine, in this private network namespace with
# its own prefix and wineserver: a silent install puts the program, the
# shortcut and the Uninstall key in place; the program started through the
# shortcut writes its log in the user's folder; an upgrade keeps an edited
# parameter file; a silent uninstall leaves only the user's files, and
# takes the logs of a copy started in the program folder with the folder.
# Usage: installer_test.sh <orvvarnoth-setup.exe> <prefix dir>
set -u
setup="$1"; prefix="$2"
here=$(cd "$(dirname "$0")" && pwd)
sample="$here/../../packaging/orvvarnoth.cfg"
. "$here/../support/netns_guard.sh"
require_private_netns
dir=$(mktemp -d)
. "$here/../../scripts/xvfb.sh"
. "$here/../support/wine_x.sh"
add_veth_pair orvi 10.216.7 || { echo "FAIL: veth pair"; exit 1; }
trap 'stop_wine_x; rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# wait_for <tenths of a second> <command...>
wait_for() { t=$1; shift; until "$@" >/dev/null 2>&1; do [ $((t -= 1)) -gt 0 ] || return 1; sleep 0.1; done; }
start_xvfb "$dir" && start_wine "$prefix" || fail "Xvfb or Wine did not start"
w() { wine "$@" </dev/null 2>>"$dir/wine.txt"; }
win_of() { w cmd /c echo "$1" | tr -d '\r"'; }
unix_of() { winepath -u "$(win_of "$1")" 2>/dev/null; }
# (winepath takes folders that exist; those below are made by the installer)
appdata_local=$(unix_of '%LOCALAPPDATA%')
roaming=$(unix_of '%APPDATA%')
programs="$appdata_local/Programs/orvvarnoth"
user="$roaming/orvvarnoth"
shortcut="$roaming/Microsoft/Windows/Start Menu/Programs/orvvarnoth.lnk"
shortcut_win=$(win_of '%APPDATA%\Microsoft\Windows\Start Menu\Programs\orvvarnoth.lnk')
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\orvvarnoth'
[ -d "$appdata_local" ] && [ -d "$roaming" ] || fail "no profile folders"
# The prefix is kept from run to run (making one takes long): each run
# starts without what an earlier one may have left.
rm -rf "$programs" "$user" "$shortcut"
w reg delete "$key" /f >/dev/null 2>&1
value_of() { w reg query "$key" /v "$1" | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"; }

# A silent install.
w "$setup" /S || fail "the installer ended with $?"
for f in orvvarnoth.exe uninstall.exe README-windows.txt; do [ -f "$programs/$f" ] || fail "no $f"; done
x86_64-w64-mingw32-objdump -h "$programs/orvvarnoth.exe" | grep -q '\.debug_' && fail "the exe is not stripped"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
cmp -s "$user/orvvarnoth.cfg" "$sample" || fail "no sample parameter file in the user's folder"
[ "$(winepath -u "$(value_of InstallLocation)")" = "$programs" ] || fail "InstallLocation: $(value_of InstallLocation)"
value_of QuietUninstallString | grep -qi 'uninstall\.exe" /S$' || fail "QuietUninstallString: $(value_of QuietUninstallString)"
# Settings > Apps shows the size (KiB) and Explorer the exe's icon and the
# version the key names (UTF-16 in the resource: read with zeros dropped).
size=$(value_of EstimatedSize)
kib=$(du -sk "$programs" | cut -f1)
[ -n "$size" ] && [ $((size)) -ge $((kib * 9 / 10)) ] && [ $((size)) -le $((kib * 11 / 10 + 8)) ] ||
  fail "EstimatedSize $size for a folder of $kib KiB"
version=$(value_of DisplayVersion)
wrestool -l "$programs/orvvarnoth.exe" | grep -q "type=icon" || fail "the exe has no icon"
wrestool -x --raw --type=16 "$programs/orvvarnoth.exe" | tr -d '\000' | grep -aq "FileVersion$version" ||
  fail "the exe's version resource does not say $version"

# Started as the Start menu does, through the shortcut: the log lands in
# the user's folder, the shortcut's working folder.
(cd "$dir" && w start "$shortcut_win")
wait_for 300 grep -q "Log started" "$user/ORVVarnoth.log" || fail "no log in the user's folder"
[ -e "$programs/ORVVarnoth.log" ] || [ -e "$dir/ORVVarnoth.log" ] && fail "a log outside the user's folder"
w taskkill /f /im orvvarnoth.exe >/dev/null

# An upgrade over a parameter file the user edited.
printf 'win four\n' > "$user/orvvarnoth.cfg"
w "$setup" /S || fail "the upgrade ended with $?"
[ "$(cat "$user/orvvarnoth.cfg")" = "win four" ] || fail "the upgrade replaced the user's parameter file"
cmp -s "$user/orvvarnoth.cfg.sample" "$sample" || fail "no sample beside the user's parameter file"

# A silent uninstall: the uninstaller runs from a copy in the temporary
# folder and returns at once, so its work is waited for. The exe started in
# the program folder had left its logs there.
: > "$programs/ORVVarnoth.log"
: > "$programs/ORVDefault.log"
w "$programs/uninstall.exe" /S || fail "the uninstaller ended with $?"
wait_for 300 sh -c "! [ -e '$programs' ]" || fail "the program folder is still there: $(ls "$programs")"
[ -e "$shortcut" ] && fail "the shortcut is still there"
w reg query "$key" >/dev/null 2>&1 && fail "the Uninstall key is still there"
[ "$(cat "$user/orvvarnoth.cfg" 2>/dev/null)" = "win four" ] || fail "the user's parameter file is gone"
[ -f "$user/ORVVarnoth.log" ] || fail "the user's log is gone"
[ -e "$user/orvvarnoth.cfg.sample" ] && fail "the sample is still there"
echo "PASS"
