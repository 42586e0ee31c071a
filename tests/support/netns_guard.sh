# Sourced by the test scripts that open sockets: they end at once unless
# loopback is the only network interface (a private network namespace).
require_private_netns() {
    if [ "$(ip -o link show | awk -F": " "{print \$2}")" != "lo" ]; then
        echo "Refusing to run outside a private network namespace"; exit 1
    fi
}
