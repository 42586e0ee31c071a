#include "app/parameter_edit.h"

#include <cstdio>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool StartsWithMark(std::string_view text) { return text.substr(0, kByteOrderMark.size()) == kByteOrderMark; }

std::string_view WithoutMark(std::string_view text) {
    return StartsWithMark(text) ? text.substr(kByteOrderMark.size()) : text;
}

struct Line {
    std::string body;  // without its line break
    std::string end;   // "\r\n", "\n", or "" for a last line without one
    bool touched = false;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back(Line{std::string(text.substr(start)), "", false});
            break;
        }
        std::size_t bodyEnd = newline;
        if (bodyEnd > start && text[bodyEnd - 1] == '\r') --bodyEnd;
        lines.push_back(Line{std::string(text.substr(start, bodyEnd - start)),
                             std::string(text.substr(bodyEnd, newline + 1 - bodyEnd)), false});
        start = newline + 1;
    }
    return lines;
}

std::string Join(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& l : lines) text += l.body + l.end;
    return text;
}

std::string Message(const char* format, int line) {
    char text[128];
    std::snprintf(text, sizeof text, format, line);
    return text;
}

bool Fail(EditProblem* problem, std::string message, int line, bool conflict) {
    *problem = EditProblem{std::move(message), line, conflict};
    return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

// Where additions go: the end, unless the last keyword still waits for a
// value there; then before its line, so that it keeps its meaning.
std::size_t AdditionPlace(const std::vector<Line>& lines, const model::Catalog* catalog) {
    ParsedParameters parsed;
    ParameterProblem ignored;
    if (!ParseParameterText(Join(lines), catalog, &parsed, &ignored) || parsed.entries.empty() ||
        parsed.entries.back().complete)
        return lines.size();
    return static_cast<std::size_t>(parsed.entries.back().line - 1);
}

}  // namespace

bool ApplyLineEdits(std::string_view text, const std::vector<LineEdit>& edits,
                    const model::Catalog* catalog, EditedText* out, EditProblem* problem) {
    // The byte-order mark belongs to the file, not to its first line: the
    // lines are edited without it, and it stays first, byte for byte,
    // whatever becomes of line 1.
    const bool mark = StartsWithMark(text);
    std::vector<Line> lines = SplitLines(mark ? text.substr(kByteOrderMark.size()) : text);
    const std::size_t firstBreak = text.find('\n');
    const std::string style = firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r'
                                  ? "\r\n" : "\n";
    std::vector<bool> removed(lines.size(), false);
    std::vector<bool> edited(lines.size(), false);
    std::vector<std::string> additions;
    int changed = 0;
    for (const LineEdit& e : edits) {
        if (e.text.find_first_of("\r\n") != std::string::npos)
            return Fail(problem, Message("The edit of line %d holds a line break", e.line), e.line, false);
        // A page that saw the mark on line 1 may send it back: it is not the line's.
        const std::string_view expected = e.line == 1 ? WithoutMark(e.expected) : std::string_view(e.expected);
        const std::string_view wanted = e.line <= 1 ? WithoutMark(e.text) : std::string_view(e.text);
        if (e.line == 0) {
            if (!wanted.empty()) additions.emplace_back(wanted);
            continue;
        }
        if (e.line < 0 || e.line > static_cast<int>(lines.size()))
            return Fail(problem, Message("The file has no line %d", e.line), e.line, true);
        const std::size_t i = static_cast<std::size_t>(e.line - 1);
        if (edited[i]) return Fail(problem, Message("Line %d is edited twice", e.line), e.line, false);
        edited[i] = true;
        Line& l = lines[i];
        if (l.body != expected)
            return Fail(problem, Message("Line %d changed on disk since it was read", e.line), e.line, true);
        if (l.body == wanted) continue;
        ++changed;
        if (wanted.empty()) {
            removed[i] = true;
            continue;
        }
        l.body = std::string(wanted);
        l.touched = true;
    }
    std::vector<Line> kept;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!removed[i]) kept.push_back(std::move(lines[i]));
    if (!additions.empty()) {
        const std::size_t place = AdditionPlace(kept, catalog);
        if (place == kept.size() && !kept.empty() && kept.back().end.empty()) kept.back().end = style;
        std::vector<Line> added;
        for (const std::string& a : additions) added.push_back(Line{a, style, true});
        kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(place), added.begin(), added.end());
        changed += static_cast<int>(additions.size());
    }
    *out = EditedText{(mark ? std::string(kByteOrderMark) : std::string()) + Join(kept), {}, changed};
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (kept[i].touched) out->touched.push_back(static_cast<int>(i + 1));
    return true;
}

bool CheckEditedLines(const EditedText& edited, const ParsedParameters& parsed, EditProblem* problem) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < edited.text.size(); ++i)
        if (edited.text[i] == '\n') starts.push_back(i + 1);
    for (const int line : edited.touched) {
        std::size_t first = starts[static_cast<std::size_t>(line - 1)];
        if (first == 0 && StartsWithMark(edited.text)) first = kByteOrderMark.size();
        while (first < edited.text.size() && IsBlank(edited.text[first])) ++first;
        if (first >= edited.text.size() || edited.text[first] == '\n') continue;  // blank
        bool found = false;
        bool own = true;
        for (const ParameterEntry& e : parsed.entries) {
            if (e.line == line && e.keywordAt == first) found = true;
            if (e.line <= line && e.endLine >= line && (e.line != line || e.endLine != line || !e.complete))
                own = false;
        }
        if (!found || !own)
            return Fail(problem, Message("Line %d would not be read as written", line), line, false);
    }
    return true;
}
