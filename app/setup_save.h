// Saving edits of the parameter file from the set-up page: against the
// revision the page read, checked by reading the result back, written
// whole or not at all.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/parameter_edit.h"
#include "app/parameter_parse.h"
#include "model/setup_desk.h"

// Changes whenever the text does: FNV-1a 64 of the bytes, 16 hex digits.
std::string TextRevision(std::string_view text);

// The file as it is now, with its entries as `catalog` reads them; a
// missing or unreadable file reads as empty.
model::FileView ReadFileView(const std::string& path, const model::Catalog* catalog);
// The view of a text already read and parsed (`parsed` empty: it did not read).
model::FileView FileViewOf(const std::string& path, std::string text, const ParsedParameters& parsed);

struct SaveOutcome {
    bool saved = false;
    std::string message;   // why not, for the page
    int line = 0;          // the line the message is about; 0 none
    std::string diskText;  // when the file was not what the edits were made against
    bool changedOnDisk = false;
    int contextFrom = 0;                // around `line`: the lines as they would have been
    std::vector<std::string> context;
    int linesChanged = 0;
    model::FileView file;     // saved: the new file
    ParsedParameters parsed;  // saved: what it reads as, to apply live
};

// `base` is what the parse starts from (defaults and what the file does not
// set). Reads `path` now; saves nothing when its revision is not `revision`,
// an edit does not fit, or the result does not read.
SaveOutcome SaveParameterEdits(const std::string& path, const model::Catalog* catalog, const AppSettings& base,
                               const std::string& revision, const std::vector<LineEdit>& edits);
// The page's changes by meaning, turned into line edits of the file as it is
// at `revision`, then saved as above.
SaveOutcome SaveFileChanges(const std::string& path, const model::Catalog* catalog, const AppSettings& base,
                            const std::string& revision, const std::vector<model::FileChange>& changes);

// The panel windows' positions as the x/y keywords give them.
struct WindowLayout {
    std::int32_t statusX = 0, statusY = 0, autoX = 0, autoY = 0;
    std::int32_t navX = 0, navY = 0, radiosX = 0, radiosY = 0;
};

// The edits that set statusx .. radiosy of `text` to `layout`: values of
// existing lines are replaced in place, missing keywords added.
std::vector<LineEdit> WindowLayoutEdits(std::string_view text, const model::Catalog* catalog,
                                               const WindowLayout& layout);
