// The cockpit board keywords of the parameter file: board, button, switch,
// encoder, led and display. They add to a list of board maps.
#pragma once
#include <string>
#include <vector>

#include "boards/mapping.h"

namespace model {
struct Catalog;
}

// True for a keyword (lower case) that this part reads.
bool IsBoardKeyword(const char* keyword);
// How many values the keyword takes.
int BoardKeywordValues(const char* keyword);

// Applies one board keyword with the values found (as written: a port name
// keeps its case; fewer than it takes when the text ended). false with the
// user's message when the line is malformed.
bool ApplyBoardLine(const char* keyword, const std::vector<std::string>& values, const model::Catalog* catalog,
                    std::vector<boards::BoardMap>* maps, std::string* message);
