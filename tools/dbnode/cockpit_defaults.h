// Starting values of the variables that the node only keeps and echoes (nav
// display settings, mode and display switches), so that every panel field
// shows a real value from the first full refresh. The overlays and pointers
// match the client's own starting values, so nothing flickers on connect.
#pragma once

#include "tools/dbnode/var_store.h"

namespace dbnode {

struct DefaultValue {
    int index;
    double value;
};

extern const DefaultValue kCockpitDefaults[];
extern const int kCockpitDefaultCount;

// Stores every default (marked known, so full refreshes carry it).
void SeedCockpitDefaults(VarStore* store);

}  // namespace dbnode
