#include "platform/serial_ports.h"

namespace platform {

std::vector<std::string> SplitPortList(const char* text, char separator) {
    std::vector<std::string> out;
    if (text == nullptr) return out;
    std::string item;
    for (const char* c = text;; ++c) {
        if (*c == separator || *c == '\0') {
            if (!item.empty()) out.push_back(item);
            item.clear();
            if (*c == '\0') break;
        } else {
            item += *c;
        }
    }
    return out;
}

}  // namespace platform
