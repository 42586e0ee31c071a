// A browser's WebSocket frame, as any device on the LAN can send it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "web/frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view frame(reinterpret_cast<const char*>(data), size);
    web::Command command{};
    if (!web::ParseCommand(frame, &command)) return 0;
    // What it accepts fits the frame limit, names a panel without quotes or
    // escapes, and steps by one.
    if (size > web::kMaxCommandFrame) __builtin_trap();
    if (command.panel.find_first_of("\"\\") != std::string::npos) __builtin_trap();
    if (command.kind == web::CommandKind::Delta && command.delta != 1 && command.delta != -1) __builtin_trap();
    if (command.kind == web::CommandKind::Click && command.delta != 0) __builtin_trap();
    return 0;
}
