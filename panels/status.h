// The Status panel: its refresh from the Sim variables and its control handling.
#pragma once
#include "platform/dialog.h"

// Refresh thread: rewrites the panel's fields (no effect on a null dialog).
void UpdateStatus(platform::Dialog* dialog);
// GUI thread: the panel's dialog procedure; true when handled.
bool DlgProcStatus(platform::Dialog* dialog, const platform::DialogMsg& msg);

