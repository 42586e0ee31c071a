#include "app/setup_save.h"

#include <cstdio>
#include <map>

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

model::FileView ReadFileView(const std::string& path) {
    model::FileView view;
    view.path = path;
    if (!platform::ReadRegularFile(path.c_str(), &view.text)) view.text.clear();
    view.revision = TextRevision(view.text);
    return view;
}

SaveOutcome SaveParameterEdits(const std::string& path, const model::Catalog* catalog, const AppSettings& base,
                               const std::string& revision, const std::vector<model::LineEdit>& edits) {
    const model::FileView now = ReadFileView(path);
    if (now.revision != revision) {
        SaveOutcome o = Refused(kChangedOnDisk, 0);
        o.changedOnDisk = true;
        o.diskText = now.text;
        return o;
    }
    EditedText edited;
    EditProblem editProblem;
    if (!ApplyLineEdits(now.text, edits, catalog, &edited, &editProblem)) {
        SaveOutcome o = Refused(editProblem.message, editProblem.line);
        if (editProblem.conflict) {
            o.changedOnDisk = true;
            o.diskText = now.text;
        }
        return o;
    }
    SaveOutcome o;
    o.parsed.settings = base;
    ParameterProblem problem;
    if (!ParseParameterText(edited.text, catalog, &o.parsed, &problem)) return Refused(problem.message, problem.line);
    if (!CheckEditedLines(edited, o.parsed, &editProblem)) return Refused(editProblem.message, editProblem.line);
    o.linesChanged = edited.linesChanged;
    if (edited.text == now.text) {
        o.saved = true;
        o.file = now;
        return o;
    }
    std::string why;
    if (!platform::ReplaceFileSafely(path.c_str(), edited.text, &why)) return Refused("Not saved: " + why, 0);
    o.saved = true;
    o.file = model::FileView{path, edited.text, TextRevision(edited.text)};
    return o;
}

std::vector<model::LineEdit> WindowLayoutEdits(std::string_view text, const model::Catalog* catalog,
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
    std::vector<model::LineEdit> edits;
    for (const auto& [keyword, value] : wanted) {
        const std::string written = std::to_string(value);
        bool lastInPlace = false;
        for (const ParameterEntry& e : parsed.entries) {
            if (e.keyword != keyword) continue;
            // Only a value on its keyword's line is replaced where it stands.
            lastInPlace = e.complete && e.endLine == e.line;
            if (lastInPlace) lineChanges[e.line][e.valueAt] = {e.valueLength, written};
        }
        if (!lastInPlace) edits.push_back(model::LineEdit{0, "", std::string(keyword) + " " + written});
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
        edits.insert(edits.begin(), model::LineEdit{line, expected, body.substr(skip)});
    }
    return edits;
}
