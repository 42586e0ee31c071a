#include "app/file_changes.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "app/parameter_file.h"
#include "app/parameter_file_boards.h"
#include "platform/ipv4.h"
#include "web/allow_list.h"

namespace {

using Kind = model::FileChange::Kind;

bool Fail(EditProblem* problem, std::string message) {
    *problem = EditProblem{std::move(message), 0, false};
    return false;
}

bool IsComment(const ParameterEntry& e) { return e.keyword.compare(0, 2, "//") == 0; }

// One token of a line the program writes: a word that reads back as itself.
bool IsWord(const std::string& text) {
    if (text.empty() || static_cast<int>(text.size()) > kParameterTokenMax || text.compare(0, 2, "//") == 0)
        return false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f') return false;
    return true;
}

std::string NetWord(const model::NetRange& net) {
    return platform::FormatIpv4(net.address) + "/" + std::to_string(net.bits);
}

// The line a mapping is written as, e.g. "encoder mcp 4 5 heading_fine".
bool MappingLine(const model::FileChange& c, std::string* line, EditProblem* problem) {
    if (c.type == "board" || !IsBoardKeyword(c.type.c_str())) return Fail(problem, "No such input or output: " + c.type);
    if (static_cast<int>(c.pins.size()) + 2 != BoardKeywordValues(c.type.c_str()))
        return Fail(problem, "The " + c.type + " takes " + std::to_string(BoardKeywordValues(c.type.c_str()) - 2) +
                                 (c.type == "encoder" ? " pins" : c.type == "display" ? " pins" : " pin"));
    if (!IsWord(c.board) || !IsWord(c.control)) return Fail(problem, "A board or control name is malformed");
    *line = c.type + " " + c.board;
    for (const int pin : c.pins) *line += " " + std::to_string(pin);
    *line += " " + c.control;
    return true;
}

// The line bodies of `text` as offsets: a byte-order mark is not line 1's.
struct Body {
    std::size_t start = 0;
    std::size_t end = 0;  // before its line break
};

std::vector<Body> Bodies(std::string_view text) {
    std::vector<Body> out;
    std::size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (start < text.size()) {
        std::size_t newline = text.find('\n', start);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        if (newline == std::string_view::npos) newline = text.size();
        if (newline > start && text[newline - 1] == '\r') --newline;
        out.push_back(Body{start, newline});
        start = next;
    }
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

// The edits that take the entries `gone` out of `text`.
std::vector<LineEdit> RemovalEdits(std::string_view text, const ParsedParameters& parsed, const std::set<int>& gone) {
    const std::vector<Body> bodies = Bodies(text);
    // Per line, the cuts of the entries that go, from the right.
    std::map<int, std::map<std::size_t, std::size_t, std::greater<>>> cuts;
    for (const int i : gone) {
        const ParameterEntry& e = parsed.entries[static_cast<std::size_t>(i)];
        for (int line = e.line; line <= e.endLine && line <= static_cast<int>(bodies.size()); ++line) {
            const Body& b = bodies[static_cast<std::size_t>(line - 1)];
            const std::size_t from = std::max(e.keywordAt, b.start), to = std::min(e.endAt, b.end);
            if (from < to) cuts[line][from] = to;
        }
    }
    std::vector<LineEdit> edits;
    for (const auto& [line, lineCuts] : cuts) {
        const Body& b = bodies[static_cast<std::size_t>(line - 1)];
        const std::string body(text.substr(b.start, b.end - b.start));
        bool shared = false;
        for (std::size_t i = 0; i < parsed.entries.size(); ++i) {
            const ParameterEntry& e = parsed.entries[i];
            shared = shared || (!gone.count(static_cast<int>(i)) && !IsComment(e) && e.line <= line && e.endLine >= line);
        }
        if (!shared) {
            edits.push_back(LineEdit{line, body, ""});
            continue;
        }
        // Others keep their bytes: the entry goes with the blanks after it,
        // or before it at the end of the line.
        std::string kept = body;
        for (const auto& [from, to] : lineCuts) {
            std::size_t at = from - b.start, end = to - b.start;
            while (end < kept.size() && IsBlank(kept[end])) ++end;
            if (end == kept.size())
                while (at > 0 && IsBlank(kept[at - 1])) --at;
            kept.erase(at, end - at);
        }
        edits.push_back(LineEdit{line, body, kept});
    }
    return edits;
}

}  // namespace

bool ChangeEdits(std::string_view text, const ParsedParameters& parsed, const std::vector<model::FileChange>& changes,
                 std::vector<LineEdit>* out, EditProblem* problem) {
    std::set<int> gone;
    std::vector<LineEdit> additions;
    for (const model::FileChange& c : changes) {
        std::string line;
        switch (c.kind) {
        case Kind::AddMapping:
            if (!MappingLine(c, &line, problem)) return false;
            break;
        case Kind::AddBoard:
            if (!IsWord(c.board) || !IsWord(c.port)) return Fail(problem, "A board name or port is malformed");
            line = "board " + c.board + " " + c.port;
            break;
        case Kind::AllowDevice:
            line = "webcontrol " + NetWord(c.net);
            break;
        case Kind::RemoveEntry:
            if (c.entry < 0 || c.entry >= static_cast<int>(parsed.entries.size()) ||
                IsComment(parsed.entries[static_cast<std::size_t>(c.entry)]))
                return Fail(problem, "The file has no entry " + std::to_string(c.entry));
            gone.insert(c.entry);
            break;
        case Kind::RevokeDevice: {
            bool found = false;
            for (std::size_t i = 0; i < parsed.entries.size(); ++i) {
                const ParameterEntry& e = parsed.entries[i];
                web::AllowedNet net{};
                if (e.keyword != "webcontrol" || e.values.empty() || !web::ParseAllowedNet(e.values[0].c_str(), &net) ||
                    net.address != c.net.address || net.bits != c.net.bits)
                    continue;
                gone.insert(static_cast<int>(i));
                found = true;
            }
            if (!found) return Fail(problem, "No webcontrol entry gives " + NetWord(c.net) + " in the file");
            break;
        }
        }
        if (!line.empty()) additions.push_back(LineEdit{0, "", line});
    }
    *out = RemovalEdits(text, parsed, gone);
    out->insert(out->end(), additions.begin(), additions.end());
    return true;
}

std::vector<model::FileEntry> PageEntries(const ParsedParameters& parsed) {
    std::vector<model::FileEntry> out;
    for (std::size_t i = 0; i < parsed.entries.size(); ++i) {
        const ParameterEntry& e = parsed.entries[i];
        if (IsComment(e)) continue;
        out.push_back(model::FileEntry{static_cast<int>(i), e.keyword, e.values, e.line,
                                       IsBoardKeyword(e.keyword.c_str())});
    }
    return out;
}
