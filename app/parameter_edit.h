// Line edits of the parameter file's text: only the lines edited change;
// comments, blank lines, spacing, order and the line-break style of the
// rest stay byte for byte.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "app/parameter_parse.h"
#include "model/setup_desk.h"

// An edit of one line of the text. `line` is 1-based; 0 adds `text` as a
// new line. An empty `text` removes the line. `expected` is the line as the
// change was worked out against (ignored for additions): if it differs, the
// file changed under it.
struct LineEdit {
    int line = 0;
    std::string expected;
    std::string text;
};

struct EditedText {
    std::string text;
    std::vector<int> touched;  // 1-based lines of `text` added or changed
    int linesChanged = 0;      // lines changed, added or removed
};

struct EditProblem {
    std::string message;
    int line = 0;        // 1-based line of the original text; 0 none
    bool conflict = false;  // the text is not what the edits were made against
};

// Applies `edits` (line numbers of `text`, 1-based; 0 adds a line at the
// end, or before a trailing keyword that still waits for its value, which
// would otherwise take the added line). `catalog` lets board lines read.
bool ApplyLineEdits(std::string_view text, const std::vector<LineEdit>& edits,
                    const model::Catalog* catalog, EditedText* out, EditProblem* problem);

// After `parsed` read `edited.text` without error: each added or changed
// line must have been read as keywords of its own, starting and ending on
// it, so that a line the page wrote means what it says.
bool CheckEditedLines(const EditedText& edited, const ParsedParameters& parsed, EditProblem* problem);
