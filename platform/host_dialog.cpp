#include "platform/host_dialog.h"

#include "platform/dialog_mirror.h"

namespace platform {
namespace {

std::vector<HostDialog*>& Dialogs() {
    static auto* dialogs = new std::vector<HostDialog*>;  // handles live for the whole run
    return *dialogs;
}

void DeliverToHost(Dialog* dialog, const DialogMsg& msg) { static_cast<HostDialog*>(dialog)->Deliver(msg); }

}  // namespace

void HostDialog::SetItemText(int id, const char* text) {
    if (!ShowsText(record_, id, text)) WriteText(id, text);
}

void HostDialog::SetItemCheck(int id, bool checked) {
    if (!ShowsCheck(record_, id, checked)) WriteCheck(id, checked);
}

void HostDialog::Deliver(const DialogMsg& msg) {
    if (Live() && proc_ != nullptr) proc_(this, msg);
}

void AddDialog(HostDialog* dialog) {
    Dialogs().push_back(dialog);
    MirrorDialog(dialog, dialog->TemplateId(), dialog->Record(), DeliverToHost);
}

const std::vector<HostDialog*>& AllDialogs() { return Dialogs(); }

void AppendDumpLine(std::string* out, int templateId, int controlId, const char* text, bool checked) {
    *out += std::to_string(templateId) + " " + std::to_string(controlId) + " " +
            (text != nullptr ? text : "") + (checked ? "|1\n" : "|0\n");
}

}  // namespace platform
