#include "app/parameter_file.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file.h"
#include "app/parameter_file_boards.h"
#include "base/log.h"
#include "base/settings.h"
#include "platform/net.h"
#include "web/allow_list.h"
#include "web/host_check.h"

namespace {

constexpr const char* kErrorTitle = "Parameter Error";

using Token = char[kParameterTokenMax + 1];

// The separators of formatted input in the C locale.
bool IsSeparator(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the next whitespace-separated token, at most kParameterTokenMax
// characters: a longer run is cut there and its rest is the next token.
// The character that ended the token stays unread. false at end of file,
// leaving `token` as it was.
bool ReadToken(std::FILE* file, Token& token) {
    int c = std::getc(file);
    while (c != EOF && IsSeparator(c)) c = std::getc(file);
    if (c == EOF) return false;
    int length = 0;
    while (c != EOF && !IsSeparator(c) && length < kParameterTokenMax) {
        token[length++] = static_cast<char>(c);
        c = std::getc(file);
    }
    if (c != EOF) std::ungetc(c, file);
    token[length] = '\0';
    return true;
}

// Discards the rest of the current line including its line break, but no
// more than kParameterCommentMax characters in all.
void SkipRestOfLine(std::FILE* file) {
    for (int read = 0; read < kParameterCommentMax; ++read) {
        const int c = std::getc(file);
        if (c == EOF || c == '\n') return;
    }
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
bool ApplyKnown(const char* keyword, const char* value) {
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
            Settings.*k.field = ToInteger(value);
            return true;
        }
    }
    for (const auto& k : flags) {
        if (std::strcmp(keyword, k.name) == 0) {
            Settings.*k.field = ToFlag(value);
            return true;
        }
    }
    if (std::strcmp(keyword, "debugfmc") == 0) {
        Settings.debugFmc = true;  // the value is read but means nothing
        return true;
    }
    return false;
}

int ReportBadWindowCount(const char* value) {
    char message[64 + kParameterTokenMax];
    std::snprintf(message, sizeof message, "Unknown option for window count: %s", value);
    ReportParameterError(message);
    return -1;
}

int ReportUnknownKeyword(const char* keyword) {
    // The Status window gives the box an owner; it opens where the file has
    // placed it so far.
    platform::Frame* owner =
        parameterFileHooks.openStatusWindow(Settings.appInstance, Settings.showStatus);
    char message[64 + kParameterTokenMax];
    std::snprintf(message, sizeof message, "Unknown symbol in parameter file: %s\n", keyword);
    std::fputs(CollapsePercents(message).c_str(), stdout);
    std::fflush(stdout);
    parameterFileHooks.messageBox(owner, message, kErrorTitle);
    WriteLog(message);
    return -1;
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

// A network keyword's value; -1 after reporting a malformed one.
int ApplyNetworkKeyword(const char* keyword, const char* value, bool haveValue) {
    char message[96 + kParameterTokenMax];
    if (std::strcmp(keyword, "adapter") == 0) {
        if (haveValue) {
            std::snprintf(Settings.networkAdapter, sizeof Settings.networkAdapter, "%s", value);
            return 0;
        }
        std::snprintf(message, sizeof message, "Network adapter name or address expected after: %s", keyword);
    } else {
        if (haveValue && ParseDbNodeAddress(value, &Settings.dbNodeAddress)) {
            Settings.haveDbNode = true;
            return 0;
        }
        std::snprintf(message, sizeof message, "IPv4 address of the DB node expected for dbnode: %s",
                      haveValue ? value : "");
    }
    ReportParameterError(message);
    return -1;
}

// `web PORT`, `webcontrol ADDRESS[/BITS]` and `webname NAME`; -1 after
// reporting a malformed value.
int ApplyWebKeyword(const char* keyword, const char* value, bool haveValue) {
    char message[96 + kParameterTokenMax];
    if (std::strcmp(keyword, "web") == 0) {
        long port = 0;
        bool ok = haveValue && *value != '\0' && std::strlen(value) <= 5;
        for (const char* c = value; ok && *c != '\0'; ++c) {
            ok = *c >= '0' && *c <= '9';
            port = port * 10 + (*c - '0');
        }
        if (ok && port >= 1 && port <= 65535) {
            Settings.webPort = static_cast<std::int32_t>(port);
            return 0;
        }
        std::snprintf(message, sizeof message, "TCP port number expected for web: %s", haveValue ? value : "");
    } else if (std::strcmp(keyword, "webname") == 0) {
        if (haveValue && Settings.webNameCount < kWebNameMax && web::ValidWebName(value)) {
            std::snprintf(Settings.webName[Settings.webNameCount++], kWebNameLength, "%s", value);
            return 0;
        }
        std::snprintf(message, sizeof message, "Host name expected for webname: %s", haveValue ? value : "");
    } else {
        web::AllowedNet net{};
        if (haveValue && Settings.webControlCount < kWebControlMax && web::ParseAllowedNet(value, &net)) {
            Settings.webControlAddress[Settings.webControlCount] = net.address;
            Settings.webControlBits[Settings.webControlCount] = net.bits;
            ++Settings.webControlCount;
            return 0;
        }
        std::snprintf(message, sizeof message, "IPv4 address or ADDRESS/BITS expected for webcontrol: %s",
                      haveValue ? value : "");
    }
    ReportParameterError(message);
    return -1;
}

// `ontop yes|no`; -1 after reporting any other value.
int ApplyOnTopKeyword(const char* value, bool haveValue) {
    if (haveValue && (std::strcmp(value, "yes") == 0 || std::strcmp(value, "no") == 0)) {
        Settings.windowsOnTop = value[0] == 'y';
        return 0;
    }
    char message[64 + kParameterTokenMax];
    std::snprintf(message, sizeof message, "yes or no expected for ontop: %s", haveValue ? value : "");
    ReportParameterError(message);
    return -1;
}

int ReadPairs(std::FILE* file) {
    Token keyword = "";
    // Kept across pairs: a keyword that ends the file takes the previous
    // pair's value.
    Token value = "";
    while (ReadToken(file, keyword)) {
        const bool haveValue = ReadToken(file, value);
        LowerCase(keyword);
        if (IsBoardKeyword(keyword)) {
            // A port name keeps its case.
            if (ApplyBoardKeyword(file, keyword, value, haveValue) != 0) return -1;
            continue;
        }
        LowerCase(value);
        if (ApplyKnown(keyword, value)) continue;
        if (std::strcmp(keyword, "adapter") == 0 || std::strcmp(keyword, "dbnode") == 0) {
            if (ApplyNetworkKeyword(keyword, value, haveValue) != 0) return -1;
            continue;
        }
        if (std::strcmp(keyword, "web") == 0 || std::strcmp(keyword, "webcontrol") == 0 ||
            std::strcmp(keyword, "webname") == 0) {
            if (ApplyWebKeyword(keyword, value, haveValue) != 0) return -1;
            continue;
        }
        if (std::strcmp(keyword, "ontop") == 0) {
            if (ApplyOnTopKeyword(value, haveValue) != 0) return -1;
            continue;
        }
        if (std::strcmp(keyword, "win") == 0) {
            if (std::strcmp(value, "one") == 0) {
                Settings.singleWindow = true;
            } else if (std::strcmp(value, "four") == 0) {
                Settings.singleWindow = false;
            } else {
                return ReportBadWindowCount(value);
            }
            continue;
        }
        if (std::strncmp(keyword, "//", 2) == 0) {
            SkipRestOfLine(file);
            continue;
        }
        return ReportUnknownKeyword(keyword);
    }
    return 0;
}

}  // namespace

bool ReadParameterToken(std::FILE* file, std::string* token) {
    Token read = "";
    if (!ReadToken(file, read)) return false;
    *token = read;
    return true;
}

void ReportParameterError(const char* message) {
    parameterFileHooks.messageBox(nullptr, message, kErrorTitle);
    std::string line = message;
    line += "\n";
    WriteLog(line.c_str());
}

void LowerCase(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
    }
}

int ReadParameterFile(const char* path) {
    // Anything but a regular file counts as unreadable: a FIFO would block
    // start-up before any window is open.
    std::FILE* file = platform::OpenRegularFile(path);
    if (file == nullptr) return 0;
    // Windows editors may start the file with a UTF-8 byte-order mark.
    unsigned char mark[3];
    if (std::fread(mark, 1, 3, file) != 3 || mark[0] != 0xEF || mark[1] != 0xBB || mark[2] != 0xBF) {
        std::rewind(file);
    }
    const int result = ReadPairs(file);
    std::fclose(file);
    return result;
}
