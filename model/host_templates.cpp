#include "model/dialog_script.h"

#include "platform/window.h"

namespace model {

bool HandHostTemplates(const char* script) {
    auto* templates = new std::vector<platform::DialogTemplate>;  // the host reads them until the end
    std::string error;
    if (!ParseDialogScript(script, templates, &error)) {
        delete templates;
        return false;
    }
    platform::UseDialogTemplates(templates);
    return true;
}

}  // namespace model
