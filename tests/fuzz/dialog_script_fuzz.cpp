// The dialog-template script parser: the host builds its panels from it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/dialog_script.h"
#include "platform/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);  // stops at a NUL inside
    std::vector<platform::DialogTemplate> dialogs;
    std::string error;
    model::ParseDialogScript(script.c_str(), &dialogs, &error);
    return 0;
}
