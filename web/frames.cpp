#include "web/frames.h"

#include <cstdio>

namespace web {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte >= 0x80) {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string HelloFrame(bool control, int setup) {
    const std::string more = setup < 0 ? "" : setup > 0 ? ",\"setup\":true" : ",\"setup\":false";
    return std::string("{\"t\":\"hello\",\"control\":") + (control ? "true" : "false") + more + "}";
}

namespace {

std::string ValuesFrame(const char* type, const std::vector<ShownValue>& values) {
    std::string out = std::string("{\"t\":\"") + type + "\",\"values\":[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0) out += ',';
        out += '[' + std::to_string(values[i].id) + ',' + JsonString(values[i].text) + ',' +
               (values[i].checked ? '1' : '0') + ']';
    }
    return out + "]}";
}

}  // namespace

std::string SnapshotFrame(const std::vector<ShownValue>& values) { return ValuesFrame("snapshot", values); }

std::string BatchFrame(const std::vector<ShownValue>& values) { return ValuesFrame("batch", values); }

namespace {

std::string Tenths(std::int64_t tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); }

}  // namespace

std::string LinkFrame(std::string_view node, bool connected, std::int64_t ageTenths, std::int64_t staleTenths,
                      std::int64_t atMs) {
    const std::string age = ageTenths >= 0 ? Tenths(ageTenths) : "null";
    const std::string stale = staleTenths >= 0 ? ",\"stale\":" + Tenths(staleTenths) : "";
    const std::string at = atMs >= 0 ? ",\"at\":" + std::to_string(atMs) : "";
    return "{\"t\":\"link\",\"node\":" + JsonString(node) + ",\"connected\":" + (connected ? "true" : "false") +
           ",\"age\":" + age + stale + at + "}";
}

std::string RefusedFrame(std::string_view why) {
    return "{\"t\":\"refused\",\"why\":" + JsonString(why) + "}";
}

namespace {

// A strict reader for the one flat object a browser sends: string, integer
// and boolean members only, no escapes in strings (no name needs one).
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    void Blank() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }
    bool Take(char c) {
        Blank();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Peek(char c) {
        Blank();
        return pos_ < text_.size() && text_[pos_] == c;
    }
    bool String(std::string* out) {
        if (!Take('"')) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            const auto byte = static_cast<unsigned char>(text_[pos_]);
            if (byte == '\\' || byte < 0x20) return false;
            ++pos_;
        }
        if (pos_ >= text_.size()) return false;
        *out = std::string(text_.substr(start, pos_ - start));
        ++pos_;
        return true;
    }
    bool Integer(int* out) {
        Blank();
        bool negative = false;
        if (pos_ < text_.size() && text_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        long value = 0;
        std::size_t digits = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_++] - '0');
            if (++digits > 9) return false;
        }
        if (digits == 0) return false;
        *out = static_cast<int>(negative ? -value : value);
        return true;
    }
    bool Boolean(bool* out) {
        Blank();
        if (text_.substr(pos_, 4) == "true") {
            pos_ += 4;
            *out = true;
            return true;
        }
        if (text_.substr(pos_, 5) == "false") {
            pos_ += 5;
            *out = false;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        Blank();
        return pos_ == text_.size();
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

bool ParseCommand(std::string_view frame, Command* out) {
    if (frame.size() > kMaxCommandFrame) return false;
    Reader in(frame);
    std::string type, panel;
    int id = 0, delta = 0;
    bool shift = false;
    unsigned seen = 0;  // one bit per member
    if (!in.Take('{')) return false;
    if (!in.Peek('}')) {
        do {
            std::string name;
            if (!in.String(&name) || !in.Take(':')) return false;
            unsigned bit = 0;
            bool ok = false;
            if (name == "t") {
                bit = 1;
                ok = in.String(&type);
            } else if (name == "panel") {
                bit = 2;
                ok = in.String(&panel);
            } else if (name == "id") {
                bit = 4;
                ok = in.Integer(&id);
            } else if (name == "delta") {
                bit = 8;
                ok = in.Integer(&delta);
            } else if (name == "shift") {
                bit = 16;
                ok = in.Boolean(&shift);
            }
            if (!ok || (seen & bit) != 0) return false;
            seen |= bit;
        } while (in.Take(','));
    }
    if (!in.Take('}') || !in.AtEnd()) return false;
    if (type == "cmd") {
        if ((seen & ~16u) != (1 | 2 | 4)) return false;
        *out = Command{CommandKind::Click, panel, id, 0, shift};
        return true;
    }
    if (type == "delta") {
        if ((seen & ~16u) != (1 | 2 | 4 | 8) || (delta != -1 && delta != 1)) return false;
        *out = Command{CommandKind::Delta, panel, id, delta, shift};
        return true;
    }
    return false;
}

}  // namespace web
