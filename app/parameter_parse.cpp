#include "app/parameter_parse.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/parameter_file.h"
#include "app/parameter_file_boards.h"
#include "platform/ipv4.h"
#include "web/allow_list.h"
#include "web/host_check.h"

namespace {

constexpr int kEnd = -1;

// The separators of formatted input in the C locale.
bool IsSeparator(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The text as a stream of characters that knows its line.
struct Reader {
    std::string_view text;
    std::size_t pos = 0;
    int line = 1;

    int Get() {
        if (pos >= text.size()) return kEnd;
        const char c = text[pos++];
        if (c == '\n') ++line;
        return static_cast<unsigned char>(c);
    }
    void Unget() {
        --pos;
        if (text[pos] == '\n') --line;
    }
};

struct Token {
    std::string text;
    int line = 0;
    std::size_t at = 0;
    std::size_t length = 0;  // as written, before a NUL cut it
};

// The next whitespace-separated token, at most kParameterTokenMax
// characters: a longer run is cut there and its rest is the next token. The
// character that ended it stays unread. false at the end, leaving `token`
// as it was. A NUL ends the token's text as it would a C string.
bool ReadToken(Reader& r, Token* token) {
    int c = r.Get();
    while (c != kEnd && IsSeparator(c)) c = r.Get();
    if (c == kEnd) return false;
    token->line = r.line;
    token->at = r.pos - 1;
    std::string read;
    while (c != kEnd && !IsSeparator(c) && static_cast<int>(read.size()) < kParameterTokenMax) {
        read += static_cast<char>(c);
        c = r.Get();
    }
    if (c != kEnd) r.Unget();
    token->length = read.size();
    token->text = read.c_str();
    return true;
}

// Discards the rest of the current line including its line break, but no
// more than kParameterCommentMax characters in all.
void SkipRestOfLine(Reader& r) {
    for (int read = 0; read < kParameterCommentMax; ++read) {
        const int c = r.Get();
        if (c == kEnd || c == '\n') return;
    }
}

void Lower(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

// Text-to-integer: optional leading blanks and sign, then the leading
// digits; 0 without digits. Out-of-range values stop at the int32 limits.
std::int32_t ToInteger(const char* text) {
    while (IsSeparator(static_cast<unsigned char>(*text))) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    std::int64_t value = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > limit) value = limit;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

bool ToFlag(const char* text) { return std::strcmp(text, "no") != 0; }

// Applies a keyword of the table; false when `keyword` is not one of them.
bool ApplyKnown(AppSettings& s, const char* keyword, const char* value) {
    struct IntegerKeyword {
        const char* name;
        std::int32_t AppSettings::*field;
    };
    static const IntegerKeyword integers[] = {
        {"statusx", &AppSettings::statusX}, {"statusy", &AppSettings::statusY},
        {"autox", &AppSettings::autoX},     {"autoy", &AppSettings::autoY},
        {"navx", &AppSettings::navX},       {"navy", &AppSettings::navY},
        {"radiosx", &AppSettings::radiosX}, {"radiosy", &AppSettings::radiosY},
    };
    struct FlagKeyword {
        const char* name;
        bool AppSettings::*field;
    };
    static const FlagKeyword flags[] = {
        {"showstatus", &AppSettings::showStatus},
        {"showauto", &AppSettings::showAuto},
        {"shownav", &AppSettings::showNav},
        {"showradios", &AppSettings::showRadios},
    };
    for (const auto& k : integers) {
        if (std::strcmp(keyword, k.name) == 0) {
            s.*k.field = ToInteger(value);
            return true;
        }
    }
    for (const auto& k : flags) {
        if (std::strcmp(keyword, k.name) == 0) {
            s.*k.field = ToFlag(value);
            return true;
        }
    }
    if (std::strcmp(keyword, "debugfmc") == 0) {
        s.debugFmc = true;  // the value is read but means nothing
        return true;
    }
    return false;
}

std::string Format(const char* format, const char* text) {
    char message[96 + kParameterTokenMax];
    std::snprintf(message, sizeof message, format, text);
    return message;
}

// Dotted IPv4 text of a unicast address (not 0.0.0.0/8, multicast or
// broadcast). No name lookup, so start-up never waits on a resolver.
bool ParseDbNodeAddress(const char* text, std::uint32_t* out) {
    std::uint32_t address;
    if (!platform::ParseIpv4(text, &address)) return false;
    const std::uint32_t top = address >> 24;
    if (top == 0 || top >= 224) return false;
    *out = address;
    return true;
}

// `adapter` and `dbnode`; the message when the value is malformed.
bool ApplyNetworkKeyword(AppSettings& s, const char* keyword, const char* value, bool haveValue,
                         std::string* message) {
    if (std::strcmp(keyword, "adapter") == 0) {
        if (haveValue) {
            std::snprintf(s.networkAdapter, sizeof s.networkAdapter, "%s", value);
            return true;
        }
        *message = Format("Network adapter name or address expected after: %s", keyword);
        return false;
    }
    if (haveValue && ParseDbNodeAddress(value, &s.dbNodeAddress)) {
        s.haveDbNode = true;
        return true;
    }
    *message = Format("IPv4 address of the DB node expected for dbnode: %s", haveValue ? value : "");
    return false;
}

// One more net of a `webcontrol` or `websetup` list.
bool AddNet(const char* value, bool haveValue, std::int32_t& count, int max, std::uint32_t* addresses,
            std::int32_t* bits) {
    web::AllowedNet net{};
    if (!haveValue || count >= max || !web::ParseAllowedNet(value, &net)) return false;
    addresses[count] = net.address;
    bits[count] = net.bits;
    ++count;
    return true;
}

// `web PORT`, `webcontrol ADDRESS[/BITS]`, `websetup ADDRESS[/BITS]` and
// `webname NAME`; the message when the value is malformed.
bool ApplyWebKeyword(AppSettings& s, const char* keyword, const char* value, bool haveValue,
                     std::string* message) {
    const char* shown = haveValue ? value : "";
    if (std::strcmp(keyword, "web") == 0) {
        long port = 0;
        bool ok = haveValue && *value != '\0' && std::strlen(value) <= 5;
        for (const char* c = value; ok && *c != '\0'; ++c) {
            ok = *c >= '0' && *c <= '9';
            port = port * 10 + (*c - '0');
        }
        if (ok && port >= 1 && port <= 65535) {
            s.webPort = static_cast<std::int32_t>(port);
            return true;
        }
        *message = Format("TCP port number expected for web: %s", shown);
    } else if (std::strcmp(keyword, "webname") == 0) {
        if (haveValue && s.webNameCount < kWebNameMax && web::ValidWebName(value)) {
            std::snprintf(s.webName[s.webNameCount++], kWebNameLength, "%s", value);
            return true;
        }
        *message = Format("Host name expected for webname: %s", shown);
    } else if (std::strcmp(keyword, "websetup") == 0) {
        if (AddNet(value, haveValue, s.webSetupCount, kWebSetupMax, s.webSetupAddress, s.webSetupBits))
            return true;
        *message = Format("IPv4 address or ADDRESS/BITS expected for websetup: %s", shown);
    } else {
        if (AddNet(value, haveValue, s.webControlCount, kWebControlMax, s.webControlAddress, s.webControlBits))
            return true;
        *message = Format("IPv4 address or ADDRESS/BITS expected for webcontrol: %s", shown);
    }
    return false;
}

bool IsOneOf(const std::string& keyword, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (keyword == n) return true;
    return false;
}

// One keyword with its values; false with the problem filled.
bool ApplyPair(Reader& r, const Token& keyword, Token& value, bool haveValue, const model::Catalog* catalog,
               ParsedParameters* out, ParameterEntry& entry, ParameterProblem* problem) {
    AppSettings& s = out->settings;
    const char* k = keyword.text.c_str();
    std::string message;
    if (IsBoardKeyword(k)) {
        // A port name keeps its case.
        std::vector<std::string> values;
        if (haveValue) values.push_back(value.text);
        Token more;
        while (static_cast<int>(values.size()) < BoardKeywordValues(k) && ReadToken(r, &more)) {
            values.push_back(more.text);
            entry.endLine = more.line;
            entry.endAt = more.at + more.length;
        }
        entry.values = values;
        entry.complete = static_cast<int>(values.size()) == BoardKeywordValues(k);
        if (ApplyBoardLine(k, values, catalog, &out->boards, &problem->message)) return true;
        return false;
    }
    Lower(value.text);
    const char* v = value.text.c_str();
    if (ApplyKnown(s, k, v)) return true;
    if (IsOneOf(keyword.text, {"adapter", "dbnode"})) {
        if (ApplyNetworkKeyword(s, k, v, haveValue, &problem->message)) return true;
        return false;
    }
    if (IsOneOf(keyword.text, {"web", "webcontrol", "websetup", "webname"})) {
        if (ApplyWebKeyword(s, k, v, haveValue, &problem->message)) return true;
        return false;
    }
    if (keyword.text == "ontop") {
        if (haveValue && (value.text == "yes" || value.text == "no")) {
            s.windowsOnTop = v[0] == 'y';
            return true;
        }
        problem->message = Format("yes or no expected for ontop: %s", haveValue ? v : "");
        return false;
    }
    if (keyword.text == "win") {
        if (value.text == "one" || value.text == "four") {
            s.singleWindow = value.text == "one";
            return true;
        }
        problem->message = Format("Unknown option for window count: %s", v);
        return false;
    }
    if (keyword.text.compare(0, 2, "//") == 0) {
        SkipRestOfLine(r);
        return true;
    }
    problem->message = "Unknown symbol in parameter file: " + keyword.text;
    problem->unknownKeyword = true;
    return false;
}

std::vector<model::NetRange> Ranges(int count, const std::uint32_t* addresses, const std::int32_t* bits) {
    std::vector<model::NetRange> ranges;
    for (int i = 0; i < count; ++i) ranges.push_back(model::NetRange{addresses[i], bits[i]});
    return ranges;
}

}  // namespace

bool ParseParameterText(std::string_view text, const model::Catalog* catalog, ParsedParameters* out,
                        ParameterProblem* problem) {
    *problem = ParameterProblem{};
    Reader r{text};
    // Windows editors may start the file with a UTF-8 byte-order mark.
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") r.pos = 3;
    Token keyword;
    // Kept across pairs: a keyword that ends the file takes the previous
    // pair's value.
    Token value;
    while (ReadToken(r, &keyword)) {
        const bool haveValue = ReadToken(r, &value);
        Lower(keyword.text);
        ParameterEntry entry;
        entry.keyword = keyword.text;
        entry.line = keyword.line;
        entry.keywordAt = keyword.at;
        entry.endLine = haveValue ? value.line : keyword.line;
        entry.complete = haveValue;
        entry.endAt = keyword.at + keyword.length;
        if (haveValue) {
            entry.valueAt = value.at;
            entry.valueLength = value.length;
            entry.endAt = value.at + value.length;
            entry.values = {value.text};
        }
        if (!ApplyPair(r, keyword, value, haveValue, catalog, out, entry, problem)) {
            problem->line = keyword.line;
            return false;
        }
        out->entries.push_back(entry);
    }
    return true;
}

std::vector<model::NetRange> WebControlRanges(const AppSettings& s) {
    return Ranges(s.webControlCount, s.webControlAddress, s.webControlBits);
}

std::vector<model::NetRange> WebSetupRanges(const AppSettings& s) {
    return Ranges(s.webSetupCount, s.webSetupAddress, s.webSetupBits);
}
