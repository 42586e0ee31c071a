// The four panel windows' positions now, asked of the GUI thread from any
// other thread, for "Save window layout".
#pragma once
#include <string>

#include "app/setup_save.h"
#include "platform/gui_post.h"

// false with the reason in `why` in the one-window layout (its window has
// no position keywords) or when the GUI thread did not answer in time.
// `gui` is the windowing host's poster.
bool WindowLayoutNow(const platform::GuiPoster& gui, WindowLayout* out, std::string* why);
