// The dialog handle's part that every windowing host shares: its template,
// its procedure, the record of what its controls show, and the list of
// every handle made. A host derives from it and supplies the hooks: whether
// its window is still there, and how a write reaches the GUI thread.
#pragma once
#include "platform/control_record.h"
#include "platform/dialog.h"
#include "platform/dialog_template.h"

#include <string>
#include <vector>

namespace platform {

class HostDialog : public Dialog {
public:
    // `record` outlives the handle.
    HostDialog(const DialogTemplate& record, DialogProc proc) : template_(&record), proc_(proc) {}

    // A write that would leave the control as it is returns at once, on any
    // thread, without a hand-over to the GUI thread.
    void SetItemText(int id, const char* text) final;
    void SetItemCheck(int id, bool checked) final;
    // The controls whose state differs from what they show, in one
    // hand-over to the GUI thread; none when nothing differs.
    void WriteBatch(const ControlState* controls, std::size_t count) final;
    void SetRouter(MsgRouter* router) final { router_ = router; }

    int TemplateId() const { return template_->id; }
    const DialogTemplate& Template() const { return *template_; }
    // Any thread may read it; the GUI thread notes every change.
    ControlRecord* Record() { return &record_; }
    // GUI thread: hands `msg` to the procedure while the window lives.
    void Deliver(const DialogMsg& msg);
    // GUI thread: the dialog's window still exists.
    virtual bool Live() const = 0;

protected:
    ~HostDialog() = default;  // handles live until the process ends
    // Carries out a write that changes the control, on the GUI thread
    // (waiting for it), and notes it there in the record.
    virtual void WriteText(int id, const char* text) = 0;
    virtual void WriteCheck(int id, bool checked) = 0;
    // Carries out every write of `changes` in one hand-over, as the two
    // above do one by one.
    virtual void WriteChanges(const std::vector<ControlState>& changes) = 0;

private:
    const DialogTemplate* template_;
    DialogProc proc_;
    ControlRecord record_;
    MsgRouter* router_ = nullptr;  // GUI thread
};

// GUI thread: keeps a new handle; every handle made so far, in order.
void AddDialog(HostDialog* dialog);
const std::vector<HostDialog*>& AllDialogs();

// One line of DumpDialogs: "<templateId> <controlId> <text>|<checked>".
void AppendDumpLine(std::string* out, int templateId, int controlId, const char* text, bool checked);

}  // namespace platform
