// The WebSocket frames between the program and a browser: one JSON object
// per text frame. Pure functions, so the format is tested without sockets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace web {

// Longest frame a browser may send; a bigger one closes its connection.
constexpr std::size_t kMaxCommandFrame = 512;

struct ShownValue {
    int id;
    std::string text;
    bool checked;
};

// `setup` < 0: the program has no set-up page and the hello does not say.
std::string HelloFrame(bool control, int setup = -1);
std::string SnapshotFrame(const std::vector<ShownValue>& values);
// One refresh cycle's changes, as a snapshot lists them.
std::string BatchFrame(const std::vector<ShownValue>& values);
// node "" when none is known; ageTenths < 0 when no datagram ever came;
// staleTenths: the silence beyond which the page calls the data stale
// (< 0: not sent); atMs: the program's steady clock as the frame is made,
// by which a page tells frames it reads late (< 0: not sent).
std::string LinkFrame(std::string_view node, bool connected, std::int64_t ageTenths,
                      std::int64_t staleTenths = -1, std::int64_t atMs = -1);
std::string RefusedFrame(std::string_view why);

// Text as a JSON string literal, quotes included. Bytes above 0x7F are
// Latin-1 characters (what the controls hold) and come out as UTF-8.
std::string JsonString(std::string_view text);

enum class CommandKind { Click, Delta };

struct Command {
    CommandKind kind;
    std::string panel;
    int id;
    int delta;   // Delta: -1 or +1
    bool shift;
};

// Reads a browser's frame: {"t":"cmd"|"delta","panel":..,"id":..,["delta":..],"shift":..}.
// false when it is not exactly such an object (unknown, missing or repeated
// members, wrong types, a delta other than -1 or +1, trailing text).
bool ParseCommand(std::string_view frame, Command* out);

}  // namespace web
