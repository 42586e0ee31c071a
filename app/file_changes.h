// The set-up page's changes of the parameter file, asked by meaning (add
// this mapping, remove entry N, allow this device), turned into edits of the
// lines of the text they were asked against. The page never sees a line
// edit: the program alone decides which bytes change.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "app/parameter_edit.h"
#include "app/parameter_parse.h"
#include "model/setup_desk.h"

// `parsed` is what `text` reads as (its entries). Additions become new
// lines in the order asked; a removed entry takes its whole line with it
// (a comment after it too) unless other keywords share the line, which then
// keep their bytes. false with the problem when a change cannot be made.
bool ChangeEdits(std::string_view text, const ParsedParameters& parsed, const std::vector<model::FileChange>& changes,
                 std::vector<LineEdit>* out, EditProblem* problem);

// The file's entries as the page is sent them: every keyword but comments.
std::vector<model::FileEntry> PageEntries(const ParsedParameters& parsed);
