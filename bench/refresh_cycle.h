// What the refresh benchmarks of both hosts do to the panels: new values
// for the whole variable table, and one refresh cycle of a dialog.
#pragma once
#include "platform/dialog.h"

namespace benchsupport {

// New values for the whole master table, as an update from the DB node
// would bring; `cycle` makes them differ from the last call's.
void ChangeEveryVariable(int cycle);

// The four panels' Update* on `dialog`, as the refresh thread calls them.
void RefreshCycle(platform::Dialog* dialog);

}  // namespace benchsupport
