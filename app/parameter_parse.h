// Reading the parameter file's text into plain values, without touching the
// process's settings, the boards or any window: start-up copies the result
// in, the set-up worker checks a file before writing it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"
#include "boards/mapping.h"
#include "model/setup_desk.h"

namespace model {
struct Catalog;
}

// Where one keyword the parse applied stood in the text. Comments count:
// a `//` whose value token lies on a later line swallows that line.
struct ParameterEntry {
    std::string keyword;    // lower case
    int line = 0;           // 1-based line of the keyword
    std::size_t keywordAt = 0;   // its byte offset in the text
    int endLine = 0;        // line of the last token it took
    bool complete = false;  // it found every value it wants (false at end of text)
    std::size_t valueAt = 0;     // byte offset of its first value token
    std::size_t valueLength = 0; // 0: none
    std::size_t endAt = 0;       // byte offset just past its last token
    std::vector<std::string> values;  // as written (a board line's several)
};

struct ParsedParameters {
    // The starting point on entry (defaults, or what is in effect), the
    // result on return; on a problem, what was read up to it.
    AppSettings settings = DefaultSettings();
    std::vector<boards::BoardMap> boards;
    std::vector<ParameterEntry> entries;
};

struct ParameterProblem {
    std::string message;  // the texts the user is shown, without line break
    int line = 0;         // 1-based line where the offending keyword starts
    // An unknown keyword: start-up shows this one over the Status window.
    bool unknownKeyword = false;
};

// false with `problem` filled when the text does not read. A leading UTF-8
// byte-order mark is skipped.
bool ParseParameterText(std::string_view text, const model::Catalog* catalog, ParsedParameters* out,
                        ParameterProblem* problem);

// The `webcontrol` and `websetup` nets of `s`.
std::vector<model::NetRange> WebControlRanges(const AppSettings& s);
std::vector<model::NetRange> WebSetupRanges(const AppSettings& s);
