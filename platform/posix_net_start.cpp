// The POSIX side of the calls that only matter on Windows.
#include <sys/socket.h>
#include <sys/time.h>

#include "platform/net.h"

namespace platform {

bool StartSockets(std::uint16_t) { return true; }

bool SetReceiveTimeout(SocketHandle s, int milliseconds) {
    timeval tv{};
    tv.tv_sec = milliseconds / 1000;
    tv.tv_usec = (milliseconds % 1000) * 1000;
    return setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0;
}

AdapterListStatus ReadAdapterList(std::vector<Adapter>* out) {
    if (!GetAdapterList(out) || out->empty()) return AdapterListStatus::ReadFailed;
    return AdapterListStatus::Ok;
}

}  // namespace platform
