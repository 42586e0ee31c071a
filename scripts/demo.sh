#!/bin/sh
# The demo inside its private network namespace: the DB-node simulator flies
# the sample plan while orvvarnoth connects to it, runs its FMC and shows its
# panels. With a display, a Chromium window started in here too shows the
# browser panels beside them; with none it runs under Xvfb and saves a
# screenshot of the screen every few seconds.
root="$1"
ip link set lo up || exit 1
run="$root/run"
mkdir -p "$run" && cd "$run" || exit 1
rm -f ORVVarnoth.log ORVDefault.log

# The parameter file the program reads from its working directory.
if [ ! -f orvvarnoth.cfg ]; then
    cat > orvvarnoth.cfg <<'CFG'
// Window layout: win one (combined window) or win four (four panel windows)
win one
// Four-window positions and show flags, for example:
// statusx 100 statusy 100 showradios yes
CFG
fi
# The panels in a browser too: http://127.0.0.1:8080/ inside this namespace.
if ! grep -qi '^web ' orvvarnoth.cfg; then
    printf '%s\n' '// The panels in a browser, and who may send commands from one' \
        'web 8080' 'webcontrol 127.0.0.1' >> orvvarnoth.cfg
fi

. "$root/scripts/xvfb.sh"
own_runtime_dir "$run"
xvfb=""
shots=""
browser=""
profile=""
url=""
if [ -z "$DISPLAY" ]; then
    # No display: a virtual one, photographed every few seconds.
    start_xvfb "$run" || { echo "Xvfb did not start"; exit 1; }
    xvfb=$xvfb_pid
    (while sleep 5; do import -window root "$run/screen.png.tmp.png" 2>/dev/null &&
        mv "$run/screen.png.tmp.png" "$run/screen.png"; done) &
    shots=$!
    echo "No display: the panels run on a virtual screen; a screenshot is saved every 5 s to $run/screen.png"
fi
web_port=$(awk 'tolower($1) == "web" {print $2}' orvvarnoth.cfg | tail -n 1)

# The aircraft starts 12 nm south of the first point at 3000 ft, autopilot on;
# LNAV and VNAV are armed once the plan has loaded. Ten times real time.
# The simulator reads commands from this terminal (e.g. "silent 40").
exec 3<&0
"$root/build/tools/dbnode/orv-dbnode" --plan "$root/tools/dbnode/sample_plan.txt" \
    --airborne 46.8,8.0,0,3000,250 --speedup 10 --arm-nav --pos-every 2 <&3 &
node=$!
"$root/build/app/orvvarnoth" &
client=$!
echo "orvvarnoth and orv-dbnode running in a private network namespace."
if [ -n "$xvfb" ] && [ -n "$web_port" ]; then
    # Headless Chromium, in here too, photographs the browser panels once.
    (sleep 8; /usr/bin/python3 "$root/scripts/web_browser.py" "http://127.0.0.1:$web_port/" \
        1024x768 "$run/web.png" --wait 40 >/dev/null 2>&1 &&
        echo "The panels in a browser: $run/web.png") &
fi
if [ -z "$xvfb" ] && [ -n "$web_port" ] && command -v chromium >/dev/null 2>&1; then
    # The host's browser cannot reach this namespace, so one is started in
    # here: the X socket is a file, which reaches the display from here.
    # A fresh profile, nothing fetched in the background; the panels'
    # closing ends it (its own process group).
    # The address the log names, once the program serves there.
    url=""
    for i in $(seq 50); do
        url=$(sed -n 's/.*Web panels at \(http[^ ]*\).*/\1/p' ORVVarnoth.log 2>/dev/null | tail -n 1)
        [ -n "$url" ] && break
        sleep 0.2
    done
fi
if [ -n "$url" ]; then
    profile=$(mktemp -d /tmp/orv-demo-chromium.XXXXXX)
    sandbox=""
    [ "$(id -u)" -eq 0 ] && sandbox="--no-sandbox"
    setsid chromium $sandbox --user-data-dir="$profile" --no-first-run --no-default-browser-check \
        --disable-background-networking --disable-component-update --disable-sync --disable-quic \
        --disable-default-apps --disable-breakpad --password-store=basic --ozone-platform=x11 \
        --window-position=960,40 --window-size=940,800 --test-type \
        --new-window "$url" >"$run/chromium.txt" 2>&1 &
    browser=$!
    echo "The panels in a browser: a Chromium window inside the namespace, $url"
fi
echo "Close the last panel window (or press Ctrl-C) to end the demo."
echo "Simulator commands: silent N (go quiet N seconds), restart, report; see README."
# The log view ends by itself when the program does.
tail -n +1 -F --pid=$client ORVVarnoth.log 2>/dev/null | sed -u 's/^/[log] /' &

finish() {
    [ -n "$browser" ] && kill -- -"$browser" 2>/dev/null
    kill $node $shots $xvfb 2>/dev/null
    [ -n "$profile" ] && sleep 1 && rm -rf "$profile"
    echo "orvvarnoth ended with exit code $1. Log: $run/ORVVarnoth.log"
    [ -n "$xvfb" ] && echo "Last screenshot: $run/screen.png"
    exit 0
}
stop() {
    kill $client 2>/dev/null
    wait $client
    finish $?
}
trap stop INT TERM
wait $client
finish $?
