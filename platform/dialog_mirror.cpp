#include "platform/dialog_mirror.h"

#include <atomic>
#include <mutex>
#include <string>

namespace platform {
namespace {

struct Entry {
    Dialog* dialog;
    int templateId;
    ControlRecord* record;
    DialogDeliver deliver;
};

struct Registry {
    std::mutex mutex;
    std::vector<Entry> entries;  // never shrinks: handles live until the process ends
};

Registry& TheRegistry() {
    static auto* registry = new Registry;  // never destroyed: other threads may still use it
    return *registry;
}

std::atomic<GuiPoster> poster{nullptr};
std::atomic<ControlChangeListener> listener{nullptr};
bool shiftOverride = false;  // GUI thread only

struct Posted {
    DialogMsg msg;
    bool shift;
    bool toggle;
};

bool HasControl(const ControlRecord& record, int id) {
    const std::lock_guard<std::mutex> lock(record.mutex);
    if (record.closed) return false;
    for (const ShownControl& control : record.controls)
        if (control.id == id) return true;
    return false;
}

void DeliverPosted(void* context) {
    Posted* posted = static_cast<Posted*>(context);
    Entry target{};
    {
        Registry& registry = TheRegistry();
        const std::lock_guard<std::mutex> lock(registry.mutex);
        for (const Entry& entry : registry.entries) {
            if (HasControl(*entry.record, posted->msg.controlId)) {
                target = entry;
                break;
            }
        }
    }
    if (target.dialog != nullptr) {
        const int id = posted->msg.controlId;
        // A click on an automatic check box toggles it before the command.
        if (posted->toggle) target.dialog->SetItemCheck(id, !target.dialog->GetItemCheck(id));
        shiftOverride = posted->shift;
        target.deliver(target.dialog, posted->msg);
        shiftOverride = false;
    }
    delete posted;
}

}  // namespace

void MirrorDialog(Dialog* dialog, int templateId, ControlRecord* record, DialogDeliver deliver) {
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    registry.entries.push_back(Entry{dialog, templateId, record, deliver});
}

void SetGuiPoster(GuiPoster value) { poster.store(value); }

std::vector<MirroredDialog> MirroredDialogs() {
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    std::vector<MirroredDialog> out;
    for (const Entry& entry : registry.entries) out.push_back(MirroredDialog{entry.templateId, entry.record});
    return out;
}

void SetControlChangeListener(ControlChangeListener value) { listener.store(value); }

void NoteMirrorChange(const ControlRecord* record, int id) {
    const ControlChangeListener told = listener.load(std::memory_order_acquire);
    if (told == nullptr || id == -1) return;
    std::string text;
    bool checked = false;
    {
        const std::lock_guard<std::mutex> lock(record->mutex);
        const ShownControl* found = nullptr;
        for (const ShownControl& control : record->controls)
            if (control.id == id) {
                found = &control;
                break;
            }
        if (found == nullptr) return;
        text = found->text;
        checked = found->checked;
    }
    told(id, text.c_str(), checked);
}

bool PostDialogMsg(const DialogMsg& msg, bool shiftHeld, bool toggleCheck) {
    const GuiPoster post = poster.load();
    if (post == nullptr) return false;
    post(DeliverPosted, new Posted{msg, shiftHeld, toggleCheck});
    return true;
}

bool PostToGui(void (*work)(void*), void* context) {
    const GuiPoster post = poster.load();
    if (post == nullptr) return false;
    post(work, context);
    return true;
}

bool ShiftHeldForDelivery() { return shiftOverride; }

}  // namespace platform
