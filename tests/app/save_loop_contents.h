// The two files the save loop writes in turn: long enough that a kill often
// lands inside a write.
#pragma once
#include <string>

inline std::string SaveLoopContents(int which) {
    std::string text;
    for (int i = 0; i < 4000 + which * 1500; ++i) text += which == 0 ? "statusx 100\n" : "// other line\n";
    return text;
}
