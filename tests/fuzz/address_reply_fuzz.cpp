// The text of an address reply, as any host on the LAN can send it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "link/receiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The receiver ends the payload with a NUL after the received bytes.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    char address[kDbAddressSize];
    std::int32_t port = 0;
    if (ParseAddressReply(text.data(), address, &port)) {
        // What it accepts is a whole address that fits the link record, and a port.
        if (std::memchr(address, '\0', sizeof address) == nullptr || port < 1 || port > 65535) __builtin_trap();
    }
    return 0;
}
