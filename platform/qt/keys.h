// Qt key events to the virtual-key codes the keyboard map works with.
#pragma once
#include <Qt>

namespace platform::qthost {

// The virtual-key code of a Qt key: letters and digits as their upper-case
// character codes (also when Shift or Control is held), arrows 37-40,
// F1-F24 from 112, Shift 16, Control 17 and so on. 0 for keys without one.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace platform::qthost
