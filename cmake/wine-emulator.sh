#!/bin/sh
# Wine for CTest in the cross build. Test programs open sockets, and Wine's
# belong to whichever wineserver the prefix has: run them only in the private
# namespace scripts/wine-tests.sh makes, with its own prefix and server.
if [ -z "${ORV_WINE_NETNS:-}" ] || [ -z "${WINEPREFIX:-}" ] || [ -n "$(ip route show default 2>/dev/null)" ]; then
    echo "Refusing to run $1 under Wine outside scripts/wine-tests.sh" >&2
    exit 1
fi
exec wine "$@"
