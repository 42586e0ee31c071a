#include "platform/dialog_template.h"

namespace platform {

bool ControlTemplate::Bordered() const {
    if ((style & style::kBorder) != 0 || (exStyle & style::kExStaticEdge) != 0) return true;
    return windowClass == "Static" && (style & style::kStaticSunken) != 0;
}

TextAlign ControlTemplate::Align() const {
    if (windowClass != "Static") return TextAlign::Left;
    switch (style & 0x1F) {  // SS_TYPEMASK
        case style::kStaticCenter: return TextAlign::Center;
        case style::kStaticRight: return TextAlign::Right;
        default: return TextAlign::Left;
    }
}

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    for (const ControlTemplate& c : controls)
        if (c.id == controlId) return &c;
    return nullptr;
}

}  // namespace platform
