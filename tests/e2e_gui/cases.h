// The two end-to-end cases; each runs inside the program's message loop
// once start-up has created its windows.
#pragma once
#include "tests/e2e_gui/panel_steps.h"

namespace e2egui {

// `win one`: every step on the combined window.
void CombinedWindowCase(Run& run);
// `win four`: one step per panel, each in its own frame.
void FourWindowCase(Run& run);

}  // namespace e2egui
