#include "firmware/line.h"

#include <string.h>

namespace fw {

Feed FeedByte(LineBuffer& buffer, char byte) {
    if (buffer.complete) {
        buffer.complete = false;
        buffer.length = 0;
    }
    if (byte == '\n') {
        const bool overflow = buffer.overflow;
        buffer.overflow = false;
        if (buffer.length > 0 && buffer.text[buffer.length - 1] == '\r') --buffer.length;
        buffer.complete = true;
        if (overflow || buffer.length > kMaxLine) return Feed::TooLong;
        // An empty line carries nothing; a sender may use one to start afresh.
        if (buffer.length == 0) return Feed::None;
        buffer.text[buffer.length] = '\0';
        return Feed::Line;
    }
    if (buffer.overflow) return Feed::None;
    // One byte more than a line may hold, for the "\r" that may end it.
    if (buffer.length > kMaxLine) {
        buffer.overflow = true;
        return Feed::None;
    }
    buffer.text[buffer.length++] = byte;
    return Feed::None;
}

int StripChecksum(char* text, uint8_t length) {
    if (length < 3 || text[length - 3] != '*') return -1;
    const int high = board_rules::HexValue(text[length - 2]);
    const int low = board_rules::HexValue(text[length - 1]);
    if (high < 0 || low < 0) return -1;
    const uint8_t body = length - 3;
    for (uint8_t i = 0; i < body; ++i)
        if (!board_rules::LineChar(text[i])) return -1;
    if (board_rules::Checksum(text, body) != ((high << 4) | low)) return -1;
    text[body] = '\0';
    return body;
}

namespace {

struct VerbName {
    const char* word;
    Verb verb;
    uint8_t fields;  // numeric fields; Name and Text are handled apart
};

const VerbName kVerbs[] = {
    {"HELLO", Verb::Hello, 0}, {"PING", Verb::Ping, 1},   {"NAME", Verb::Name, 0},
    {"CLEAR", Verb::Clear, 0}, {"BTN", Verb::Button, 1},  {"SW", Verb::Switch, 1},
    {"ENC", Verb::Encoder, 2}, {"LED", Verb::Led, 1},     {"DISP", Verb::Display, 4},
    {"DONE", Verb::Done, 0},   {"L", Verb::Light, 2},     {"T", Verb::Text, 1},
    {"STATS", Verb::Stats, 0},
};

// Reads a decimal field of 1..5 digits ending at a space or the end; returns
// the position after it, or nullptr.
const char* ReadNumber(const char* p, uint16_t& value) {
    uint32_t v = 0;
    uint8_t digits = 0;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<uint32_t>(*p - '0');
        if (++digits > 5) return nullptr;
        ++p;
    }
    if (digits == 0 || v > 65535 || (*p != ' ' && *p != '\0')) return nullptr;
    value = static_cast<uint16_t>(v);
    return p;
}

}  // namespace

Command ParseCommand(const char* body) {
    Command command;
    memset(&command, 0, sizeof command);
    command.verb = Verb::Bad;
    command.word = Verb::Bad;
    const char* end = body;
    while (*end != ' ' && *end != '\0') ++end;
    const VerbName* found = nullptr;
    for (const VerbName& v : kVerbs) {
        const size_t n = strlen(v.word);
        if (static_cast<size_t>(end - body) == n && memcmp(body, v.word, n) == 0) found = &v;
    }
    if (found == nullptr) return command;
    command.word = found->verb;
    const char* p = end;
    for (uint8_t i = 0; i < found->fields; ++i) {
        if (*p != ' ') return command;
        p = ReadNumber(p + 1, command.arg[i]);
        if (p == nullptr) return command;
    }
    if (found->verb == Verb::Name) {
        if (*p != ' ') return command;
        ++p;
        const size_t length = strlen(p);
        if (length > kMaxName || !ValidName(p, static_cast<uint8_t>(length))) return command;
        command.text = p;
        command.text_length = static_cast<uint8_t>(length);
    } else if (found->verb == Verb::Text) {
        // The text is the rest of the line and may be empty or hold spaces.
        if (*p == ' ') ++p;
        const size_t length = strlen(p);
        if (length > kMaxLine || command.arg[0] >= kDisplaySlots ||
            !board_rules::ValidDisplayText(p, static_cast<uint8_t>(length)))
            return command;
        command.text = p;
        command.text_length = static_cast<uint8_t>(length);
    } else if (*p != '\0') {
        return command;
    }
    if (found->verb == Verb::Light && command.arg[1] > 1) return command;
    if (found->verb == Verb::Display && command.arg[0] >= kDisplaySlots) return command;
    command.verb = found->verb;
    return command;
}

uint8_t FinishLine(char* text, uint8_t length) {
    const uint8_t sum = board_rules::Checksum(text, length);
    text[length++] = '*';
    text[length++] = board_rules::HexDigit(static_cast<uint8_t>(sum >> 4));
    text[length++] = board_rules::HexDigit(static_cast<uint8_t>(sum & 15));
    text[length++] = '\n';
    return length;
}

uint8_t PutNumber(char* text, uint8_t length, int32_t value) {
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (value < 0) {
        text[length++] = '-';
        magnitude = 0u - magnitude;
    }
    char digits[10];
    uint8_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0) text[length++] = digits[--n];
    return length;
}

uint8_t PutText(char* text, uint8_t length, const char* word) {
    while (*word != '\0') text[length++] = *word++;
    return length;
}

}  // namespace fw
