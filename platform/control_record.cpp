#include "platform/control_record.h"

#include <cstring>

namespace platform {
namespace {

ShownControl* Find(const ControlRecord& record, int id) {
    if (id == -1) return nullptr;  // labels are never addressed
    for (const ShownControl& control : record.controls)
        if (control.id == id) return const_cast<ShownControl*>(&control);
    return nullptr;
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

void RecordControl(ControlRecord* record, int id, const char* text, bool checked) {
    const std::lock_guard<std::mutex> lock(record->mutex);
    record->controls.push_back(ShownControl{id, OrEmpty(text), checked});
}

bool ShowsText(const ControlRecord& record, int id, const char* text) {
    const std::lock_guard<std::mutex> lock(record.mutex);
    const ShownControl* control = Find(record, id);
    return record.closed || control == nullptr || control->text == OrEmpty(text);
}

bool ShowsCheck(const ControlRecord& record, int id, bool checked) {
    const std::lock_guard<std::mutex> lock(record.mutex);
    const ShownControl* control = Find(record, id);
    return record.closed || control == nullptr || control->checked == checked;
}

void NoteText(ControlRecord* record, int id, const char* text) {
    const std::lock_guard<std::mutex> lock(record->mutex);
    if (ShownControl* control = Find(*record, id)) control->text = OrEmpty(text);
}

void NoteCheck(ControlRecord* record, int id, bool checked) {
    const std::lock_guard<std::mutex> lock(record->mutex);
    if (ShownControl* control = Find(*record, id)) control->checked = checked;
}

void NoteClosed(ControlRecord* record) {
    const std::lock_guard<std::mutex> lock(record->mutex);
    record->closed = true;
}

}  // namespace platform
