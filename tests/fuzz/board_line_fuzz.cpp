// Bytes from a board's serial port, as a faulty or foreign device may send
// them: cut into lines and parsed as the board threads do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "boards/line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    boards::LineSplitter splitter;
    std::string line;
    while (boards::NextLine(&splitter, &rest, &line)) {
        // No line longer than the limit (and its "\r") comes out whole.
        if (line.size() > boards::kLineMax + 1) __builtin_trap();
        boards::BoardLine parsed;
        if (boards::ParseBoardLine(line, &parsed) != boards::ParseResult::Ok) continue;
        // What is accepted is in range, and formats back to the same line.
        if ((parsed.verb == boards::Verb::Down || parsed.verb == boards::Verb::Up) && (parsed.a < 2 || parsed.a > 69))
            __builtin_trap();
        if (parsed.verb == boards::Verb::Encoder && (parsed.b == 0 || parsed.b < -99 || parsed.b > 99))
            __builtin_trap();
        std::string body = line;
        if (!body.empty() && body.back() == '\r') body.pop_back();
        body.resize(body.size() - 3);
        if (boards::FormatLine(body) != std::string(body) + line.substr(body.size(), 3) + "\n") __builtin_trap();
        if (parsed.verb == boards::Verb::Hello && parsed.text != "-" && !boards::ValidBoardName(parsed.text))
            __builtin_trap();
    }
    return 0;
}
