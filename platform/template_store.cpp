#include "platform/template_store.h"

#include "platform/window.h"

#include <cstdio>
#include <string>
#include <vector>

namespace platform {
namespace {

std::vector<DialogTemplate>& Templates() {
    static auto* templates = new std::vector<DialogTemplate>;  // never destroyed
    return *templates;
}

}  // namespace

bool LoadDialogTemplates(const char* script) {
    std::vector<DialogTemplate> parsed;
    std::string error;
    if (!ParseDialogScript(script, &parsed, &error)) {
        std::fprintf(stderr, "dialog templates: %s\n", error.c_str());
        return false;
    }
    Templates() = std::move(parsed);
    return true;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& t : Templates())
        if (t.id == id) return &t;
    return nullptr;
}

}  // namespace platform
