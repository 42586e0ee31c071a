// A dialog built from a template: the child widget of a frame that holds
// the controls, and the toolkit-free handle the panels use.
#pragma once
#include "platform/control_record.h"
#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/window.h"

#include <QFrame>
#include <QPointer>

#include <vector>

namespace platform::qthost {

class DialogWidget;

// The handle: lives until the process ends. Every operation runs on the GUI
// thread (callers on other threads wait for it) and does nothing once the
// dialog's window is gone. A write that would leave a control as it is
// returns at once, on any thread, by the record of what the controls show.
class DialogHandle final : public Dialog {
public:
    DialogHandle(int templateId, DialogProc proc) : templateId_(templateId), proc_(proc) {}

    void SetItemText(int id, const char* text) override;
    void SetItemCheck(int id, bool checked) override;
    std::size_t GetItemText(int id, char* buf, std::size_t size) override;
    bool GetItemCheck(int id) override;
    void FocusHost() override;

    int TemplateId() const { return templateId_; }
    // GUI thread only: the live widget, or nullptr.
    DialogWidget* Widget() const;
    void Attach(DialogWidget* widget) { widget_ = widget; }
    void Deliver(const DialogMsg& msg);
    ControlRecord* Record() { return &record_; }

private:
    int templateId_;
    DialogProc proc_;
    ControlRecord record_;
    QPointer<DialogWidget> widget_;
};

struct DialogItem {
    int id;
    ControlKind kind;
    QWidget* widget;
};

class DialogWidget : public QFrame {
public:
    DialogWidget(DialogHandle* handle, Frame* host, QWidget* parent)
        : QFrame(parent), handle_(handle), host_(host) {}

    DialogHandle* Handle() const { return handle_; }
    void AddItem(const DialogItem& item) { items_.push_back(item); }
    // The first control with `id`, or nullptr; id -1 is never addressed.
    const DialogItem* Item(int id) const;
    const std::vector<DialogItem>& Items() const { return items_; }
    Frame* Host() const { return host_; }

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    DialogHandle* handle_;
    Frame* host_;
    std::vector<DialogItem> items_;
};

// Every dialog handle created so far (GUI thread only).
const std::vector<DialogHandle*>& AllDialogs();

// The live widget of a dialog handle, or nullptr (GUI thread only).
DialogWidget* DialogWidgetOf(Dialog* dialog);

}  // namespace platform::qthost
