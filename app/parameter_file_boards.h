// The cockpit board keywords of the parameter file: board, button, switch,
// encoder, led and display. They fill boards::boardMaps.
#pragma once
#include <cstdio>

namespace model {
struct Catalog;
}

// Start-up, before the file is read: the panel controls the board lines
// may name (nullptr: none).
void UseBoardCatalog(const model::Catalog* catalog);

// True for a keyword (lower case) that this part reads.
bool IsBoardKeyword(const char* keyword);

// Applies one board keyword. `first` is its first value as written (case
// kept: a port name may need it); the rest are read from `file`. -1 after
// reporting a malformed line, else 0.
int ApplyBoardKeyword(std::FILE* file, const char* keyword, const char* first, bool haveFirst);
