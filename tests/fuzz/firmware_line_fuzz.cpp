// Bytes as a board's serial port receives them, through the firmware's line
// assembly, checksum and command parsing: every part must stay inside its
// buffer, and whatever is accepted must be within the protocol's bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "firmware/line.h"
#include "firmware/segments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fw::LineBuffer buffer{};
    for (std::size_t i = 0; i < size; ++i) {
        if (fw::FeedByte(buffer, static_cast<char>(data[i])) != fw::Feed::Line) continue;
        if (buffer.length > fw::kMaxLine || buffer.text[buffer.length] != '\0') __builtin_trap();
        const int body = fw::StripChecksum(buffer.text, buffer.length);
        if (body < 0) continue;
        const fw::Command c = fw::ParseCommand(buffer.text);
        if (c.verb == fw::Verb::Text) {
            if (c.arg[0] >= fw::kDisplaySlots || c.text < buffer.text || c.text + c.text_length > buffer.text + body ||
                fw::TextDigits(c.text, c.text_length) > fw::kDisplayDigits)
                __builtin_trap();
            std::uint8_t digits[8];
            fw::LayOutText(c.text, c.text_length, digits);
        }
        if (c.verb == fw::Verb::Name && !fw::ValidName(c.text, c.text_length)) __builtin_trap();
        if ((c.verb == fw::Verb::Light && c.arg[1] > 1) || (c.verb == fw::Verb::Display && c.arg[0] >= fw::kDisplaySlots))
            __builtin_trap();
        // What the board writes back must pass its own check.
        char line[fw::kMaxLine + 8];
        std::memcpy(line, buffer.text, static_cast<std::size_t>(body));
        const std::uint8_t n = fw::FinishLine(line, static_cast<std::uint8_t>(body));
        if (fw::StripChecksum(line, static_cast<std::uint8_t>(n - 1)) != body) __builtin_trap();
    }
    return 0;
}
