#include "boards/line.h"

#include <vector>

namespace boards {
namespace {

// A decimal number in [low, high]: an optional "-", then 1-5 digits.
bool ParseNumber(std::string_view text, int low, int high, int* out) {
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 5) return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < low || value > high) return false;
    *out = static_cast<int>(value);
    return true;
}

// Fields separated by exactly one space; false on an empty field.
bool SplitFields(std::string_view body, std::vector<std::string_view>* fields) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = body.find(' ', start);
        const std::string_view field = body.substr(start, space == std::string_view::npos ? space : space - start);
        if (field.empty()) return false;
        fields->push_back(field);
        if (space == std::string_view::npos) return true;
        start = space + 1;
    }
}

constexpr int kPinLow = board_rules::kPinFirst;
constexpr int kPinHigh = board_rules::kLargest.pinLimit - 1;

ParseResult ParseFields(const std::vector<std::string_view>& f, BoardLine* out) {
    const std::string_view verb = f[0];
    const std::size_t n = f.size();
    BoardLine line;
    bool ok = false;
    if (verb == "HELLO") {
        line.verb = Verb::Hello;
        ok = n == 4 && f[1] == "ORVB" && ParseNumber(f[2], 0, 999, &line.a) &&
             (f[3] == "-" || ValidBoardName(f[3]));
        if (ok) line.text = f[3];
    } else if (verb == "D" || verb == "U") {
        line.verb = verb == "D" ? Verb::Down : Verb::Up;
        ok = n == 2 && ParseNumber(f[1], kPinLow, kPinHigh, &line.a);
    } else if (verb == "E") {
        line.verb = Verb::Encoder;
        ok = n == 3 && ParseNumber(f[1], kPinLow, kPinHigh, &line.a) && ParseNumber(f[2], -99, 99, &line.b) &&
             line.b != 0;
    } else if (verb == "READY" || verb == "PONG") {
        line.verb = verb == "READY" ? Verb::Ready : Verb::Pong;
        ok = n == 2 && ParseNumber(f[1], 0, 65535, &line.a);
    } else if (verb == "STATS") {
        line.verb = Verb::Stats;
        ok = n == 2 && ParseNumber(f[1], 0, 65535, &line.a);
    } else if (verb == "ERR") {
        line.verb = Verb::Err;
        ok = n == 2;
        if (ok) line.text = f[1];
    } else if (verb == "NAMED") {
        line.verb = Verb::Named;
        ok = n == 2 && ValidBoardName(f[1]);
        if (ok) line.text = f[1];
    } else {
        return ParseResult::Unknown;
    }
    if (!ok) return ParseResult::Malformed;
    *out = line;
    return ParseResult::Ok;
}

}  // namespace

std::uint8_t Checksum(std::string_view body) {
    std::uint8_t sum = 0;
    // In pieces the shared rule can count; XOR does not mind.
    while (!body.empty()) {
        const std::size_t n = body.size() < 255 ? body.size() : 255;
        sum ^= board_rules::Checksum(body.data(), static_cast<std::uint8_t>(n));
        body.remove_prefix(n);
    }
    return sum;
}

std::string FormatLine(std::string_view body) {
    const std::uint8_t sum = Checksum(body);
    std::string line(body);
    line += '*';
    line += board_rules::HexDigit(static_cast<std::uint8_t>(sum >> 4));
    line += board_rules::HexDigit(static_cast<std::uint8_t>(sum & 0xF));
    line += '\n';
    return line;
}

ParseResult ParseBoardLine(std::string_view line, BoardLine* out) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kLineMax || line.size() < 4) return ParseResult::Malformed;
    const std::size_t star = line.size() - 3;
    if (line[star] != '*') return ParseResult::Malformed;
    const int high = board_rules::HexValue(line[star + 1]);
    const int low = board_rules::HexValue(line[star + 2]);
    const std::string_view body = line.substr(0, star);
    if (high < 0 || low < 0 || Checksum(body) != high * 16 + low) return ParseResult::Malformed;
    for (char c : body)
        if (!board_rules::LineChar(c)) return ParseResult::Malformed;
    std::vector<std::string_view> fields;
    if (!SplitFields(body, &fields)) return ParseResult::Malformed;
    return ParseFields(fields, out);
}

bool ValidBoardName(std::string_view name) {
    return name.size() <= board_rules::kNameMax &&
           board_rules::ValidName(name.data(), static_cast<std::uint8_t>(name.size()));
}

std::string DisplayText(std::string_view shown) {
    while (!shown.empty() && shown.front() == ' ') shown.remove_prefix(1);
    while (!shown.empty() && shown.back() == ' ') shown.remove_suffix(1);
    std::string out;
    int digits = 0;
    for (char c : shown) {
        if (c == '.' && !out.empty() && out.back() != '.') {
            out += c;
            continue;
        }
        if (digits == board_rules::kDisplayDigits) break;
        out += board_rules::DisplayChar(c) ? c : '-';
        ++digits;
    }
    return out;
}

bool NextLine(LineSplitter* s, std::string_view* data, std::string* line) {
    while (!data->empty()) {
        const char c = data->front();
        data->remove_prefix(1);
        if (c == '\n') {
            const std::size_t body = s->pending.size() - (!s->pending.empty() && s->pending.back() == '\r' ? 1 : 0);
            const bool dropped = s->overlong || body > kLineMax;
            s->overlong = false;
            if (dropped) {
                ++s->overlongLines;
                s->pending.clear();
                continue;
            }
            *line = std::move(s->pending);
            s->pending.clear();
            return true;
        }
        if (s->overlong) continue;
        // A "\r" may follow the 64 characters of a line.
        if (s->pending.size() >= kLineMax + 1) {
            s->overlong = true;
            s->pending.clear();
            continue;
        }
        s->pending += c;
    }
    return false;
}

}  // namespace boards
