#include "app/setup_save.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "app/file_changes.h"
#include "app/parameter_edit.h"
#include "platform/file.h"

namespace {

constexpr const char* kChangedOnDisk = "The file changed on disk since it was read";

SaveOutcome Refused(std::string message, int line) {
    SaveOutcome o;
    o.message = std::move(message);
    o.line = line;
    return o;
}

}  // namespace

std::string TextRevision(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

model::FileView FileViewOf(const std::string& path, std::string text, const ParsedParameters& parsed) {
    model::FileView view;
    view.path = path;
    view.revision = TextRevision(text);
    view.text = std::move(text);
    view.entries = PageEntries(parsed);
    return view;
}

model::FileView ReadFileView(const std::string& path, const model::Catalog* catalog) {
    std::string text;
    if (!platform::ReadRegularFile(path.c_str(), &text)) text.clear();
    ParsedParameters parsed;
    ParameterProblem problem;
    if (!ParseParameterText(text, catalog, &parsed, &problem)) parsed.entries.clear();
    return FileViewOf(path, std::move(text), parsed);
}

namespace {

// The lines around `line` of `text`, for the page to show with a complaint.
void Context(std::string_view text, int line, SaveOutcome* o) {
    if (line <= 0) return;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        if (end > start && text[end - 1] == '\r') --end;
        lines.emplace_back(text.substr(start, end - start));
        start = next;
    }
    o->contextFrom = std::max(1, line - 3);
    for (int n = o->contextFrom; n <= std::min(static_cast<int>(lines.size()), line + 3); ++n)
        o->context.push_back(lines[static_cast<std::size_t>(n - 1)]);
}

SaveOutcome Refused(std::string message, int line, std::string_view text) {
    SaveOutcome o = Refused(std::move(message), line);
    Context(text, line, &o);
    return o;
}

SaveOutcome ChangedOnDisk(std::string message, int line, const model::FileView& now) {
    SaveOutcome o = Refused(std::move(message), line);
    o.changedOnDisk = true;
    o.diskText = now.text;
    return o;
}

// `now` is the file as read against the page's revision.
SaveOutcome SaveEdited(const std::string& path, const model::Catalog* catalog, const AppSettings& base,
                       const model::FileView& now, const std::vector<LineEdit>& edits) {
    EditedText edited;
    EditProblem editProblem;
    if (!ApplyLineEdits(now.text, edits, catalog, &edited, &editProblem)) {
        if (editProblem.conflict) return ChangedOnDisk(editProblem.message, editProblem.line, now);
        return Refused(editProblem.message, editProblem.line, now.text);
    }
    SaveOutcome o;
    o.parsed.settings = base;
    ParameterProblem problem;
    if (!ParseParameterText(edited.text, catalog, &o.parsed, &problem))
        return Refused(problem.message, problem.line, edited.text);
    if (!CheckEditedLines(edited, o.parsed, &editProblem))
        return Refused(editProblem.message, editProblem.line, edited.text);
    o.linesChanged = edited.linesChanged;
    o.saved = true;
    if (edited.text == now.text) {
        o.file = FileViewOf(path, now.text, o.parsed);
        return o;
    }
    std::string why;
    if (!platform::ReplaceFileSafely(path.c_str(), edited.text, &why)) return Refused("Not saved: " + why, 0);
    o.file = FileViewOf(path, edited.text, o.parsed);
    return o;
}

}  // namespace

SaveOutcome SaveParameterEdits(const std::string& path, const model::Catalog* catalog, const AppSettings& base,
                               const std::string& revision, const std::vector<LineEdit>& edits) {
    const model::FileView now = ReadFileView(path, catalog);
    if (now.revision != revision) return ChangedOnDisk(kChangedOnDisk, 0, now);
    return SaveEdited(path, catalog, base, now, edits);
}

SaveOutcome SaveFileChanges(const std::string& path, const model::Catalog* catalog, const AppSettings& base,
                            const std::string& revision, const std::vector<model::FileChange>& changes) {
    const model::FileView now = ReadFileView(path, catalog);
    if (now.revision != revision) return ChangedOnDisk(kChangedOnDisk, 0, now);
    // Entry numbers are the revision's: the parse is the one the page was sent.
    ParsedParameters parsed;
    ParameterProblem problem;
    if (!ParseParameterText(now.text, catalog, &parsed, &problem)) parsed.entries.clear();
    std::vector<LineEdit> edits;
    EditProblem editProblem;
    if (!ChangeEdits(now.text, parsed, changes, &edits, &editProblem)) return Refused(editProblem.message, 0);
    return SaveEdited(path, catalog, base, now, edits);
}

std::vector<LineEdit> WindowLayoutEdits(std::string_view text, const model::Catalog* catalog,
                                               const WindowLayout& layout) {
    const std::pair<const char*, std::int32_t> wanted[] = {
        {"statusx", layout.statusX}, {"statusy", layout.statusY}, {"autox", layout.autoX},
        {"autoy", layout.autoY},     {"navx", layout.navX},       {"navy", layout.navY},
        {"radiosx", layout.radiosX}, {"radiosy", layout.radiosY},
    };
    ParsedParameters parsed;
    ParameterProblem ignored;
    ParseParameterText(text, catalog, &parsed, &ignored);
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') starts.push_back(i + 1);
    // Per line, the value replacements from the right, so that offsets hold.
    std::map<int, std::map<std::size_t, std::pair<std::size_t, std::string>, std::greater<>>> lineChanges;
    std::vector<LineEdit> edits;
    for (const auto& [keyword, value] : wanted) {
        const std::string written = std::to_string(value);
        bool lastInPlace = false;
        for (const ParameterEntry& e : parsed.entries) {
            if (e.keyword != keyword) continue;
            // Only a value on its keyword's line is replaced where it stands.
            lastInPlace = e.complete && e.endLine == e.line;
            if (lastInPlace) lineChanges[e.line][e.valueAt] = {e.valueLength, written};
        }
        if (!lastInPlace) edits.push_back(LineEdit{0, "", std::string(keyword) + " " + written});
    }
    for (const auto& [line, changes] : lineChanges) {
        const std::size_t start = starts[static_cast<std::size_t>(line - 1)];
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start && text[end - 1] == '\r') --end;
        std::string body(text.substr(start, end - start));
        for (const auto& [at, change] : changes) body.replace(at - start, change.first, change.second);
        std::size_t skip = 0;
        if (line == 1 && body.compare(0, 3, "\xEF\xBB\xBF") == 0) skip = 3;
        std::string expected(text.substr(start + skip, end - start - skip));
        edits.insert(edits.begin(), LineEdit{line, expected, body.substr(skip)});
    }
    return edits;
}
