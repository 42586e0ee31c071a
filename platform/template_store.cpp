#include "platform/template_store.h"

#include "platform/window.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<const std::vector<DialogTemplate>*> templates{nullptr};

}  // namespace

void UseDialogTemplates(const std::vector<DialogTemplate>* value) { templates.store(value); }

const DialogTemplate* FindDialogTemplate(int id) {
    const std::vector<DialogTemplate>* all = templates.load();
    if (all == nullptr) return nullptr;
    for (const DialogTemplate& t : *all)
        if (t.id == id) return &t;
    return nullptr;
}

}  // namespace platform
