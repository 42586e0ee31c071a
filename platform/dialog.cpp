#include "platform/dialog.h"

namespace platform {

void Dialog::WriteBatch(const ControlState* controls, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        SetItemText(controls[i].id, controls[i].text.c_str());
        SetItemCheck(controls[i].id, controls[i].checked);
    }
}

}  // namespace platform
