// The Radios panel: its refresh from the Sim variables and its control handling.
#pragma once
#include "platform/dialog.h"

// Refresh thread: rewrites the panel's fields (no effect on a null dialog).
void UpdateRadios(platform::Dialog* dialog);
// GUI thread: the panel's dialog procedure; true when handled.
bool DlgProcRadios(platform::Dialog* dialog, const platform::DialogMsg& msg);
// Handles an up-down notification (delta in the platform's convention).
bool SpinRadios(platform::Dialog* dialog, int controlId, int delta);
