#include "platform/host_dialog.h"


namespace platform {
namespace {

std::vector<HostDialog*>& Dialogs() {
    static auto* dialogs = new std::vector<HostDialog*>;  // handles live for the whole run
    return *dialogs;
}

}  // namespace

void HostDialog::SetItemText(int id, const char* text) {
    if (!ShowsText(record_, id, text)) WriteText(id, text);
}

void HostDialog::SetItemCheck(int id, bool checked) {
    if (!ShowsCheck(record_, id, checked)) WriteCheck(id, checked);
}

void HostDialog::WriteBatch(const ControlState* controls, std::size_t count) {
    std::vector<ControlState> changes;
    for (std::size_t i = 0; i < count; ++i)
        if (!ShowsText(record_, controls[i].id, controls[i].text.c_str()) ||
            !ShowsCheck(record_, controls[i].id, controls[i].checked))
            changes.push_back(controls[i]);
    if (!changes.empty()) WriteChanges(changes);
}

void HostDialog::Deliver(const DialogMsg& msg) {
    if (!Live()) return;
    // A window that shows panels hands the message to their procedures with
    // the model's handles; any other dialog to its own procedure.
    if (router_ != nullptr && router_->Route(this, msg)) return;
    if (proc_ != nullptr) proc_(this, msg);
}

void AddDialog(HostDialog* dialog) {
    Dialogs().push_back(dialog);
}

const std::vector<HostDialog*>& AllDialogs() { return Dialogs(); }

void AppendDumpLine(std::string* out, int templateId, int controlId, const char* text, bool checked) {
    *out += std::to_string(templateId) + " " + std::to_string(controlId) + " " +
            (text != nullptr ? text : "") + (checked ? "|1\n" : "|0\n");
}

}  // namespace platform
