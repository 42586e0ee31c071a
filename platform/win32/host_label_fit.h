// Labels kept whole in whatever font the dialog gets.
#pragma once
#include <windows.h>

namespace platform::win32host {

// Widens each single-line label of a new dialog whose text is wider than
// its box in the dialog's font: a static wraps such text, and the line it
// cannot show is lost ("First Officer" reads "First" under a wider face
// than the templates were drawn for). A left label grows to the right, a
// right one to the left, a centred one both ways; the template itself is
// left as it is.
void KeepLabelsWhole(HWND dialog);

}  // namespace platform::win32host
