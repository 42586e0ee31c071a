# Sourced by the tests that run a Windows program under Wine on Xvfb,
# after scripts/xvfb.sh and netns_guard.sh.
# start_wine_x <scratch dir> <prefix dir>: inside this private network
# namespace, starts Xvfb and the prefix's own wineserver (made here, so that
# its sockets stay here), with unmanaged windows so that closing one takes
# no wait. Sets xvfb_pid; stop_wine_x ends both.
start_wine_x() {
    require_private_netns
    ORV_XVFB_SCREEN=${ORV_XVFB_SCREEN:-1280x1024x24} start_xvfb "$1" || return 1
    start_wine "$2"
}
# start_wine <prefix dir>: the same on an X server that is already running.
start_wine() {
    WINEPREFIX="$1"; WINEDEBUG=-all; WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
    mkdir -p "$WINEPREFIX"
    # A server whose output goes elsewhere, or Wine's helpers would hold
    # the caller's pipes open.
    wineserver -p 120 </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
    # Wine's own faces (fonts-wine: Tahoma for "MS Shell Dlg", Marlett for
    # the caption buttons) lie where Debian's Wine does not look for them;
    # in the prefix's font folder they are found, and the windows measure
    # and look as on Windows.
    for font in /usr/share/wine/fonts/*.ttf; do
        [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
}
# add_veth_pair <name> <a.b.c>: <name>0 at a.b.c.1 and <name>1 at a.b.c.2,
# up, in this namespace. Win32 lists no adapter for loopback alone, so a
# program there would find no broadcast address without them.
add_veth_pair() {
    ip link add "${1}0" type veth peer name "${1}1" && ip addr add "$2.1/24" dev "${1}0" &&
        ip addr add "$2.2/24" dev "${1}1" && ip link set "${1}0" up && ip link set "${1}1" up
}
stop_wine_x() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
}
