// A dialog built from a template: the child widget of a frame that holds
// the controls, and the toolkit-free handle the panels use.
#pragma once
#include "platform/dialog_template.h"
#include "platform/host_dialog.h"
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
class DialogHandle final : public HostDialog {
public:
    using HostDialog::HostDialog;

    std::size_t GetItemText(int id, char* buf, std::size_t size) override;
    bool GetItemCheck(int id) override;
    void FocusHost() override;
    bool Live() const override { return Widget() != nullptr; }

    // GUI thread only: the live widget, or nullptr.
    DialogWidget* Widget() const;
    void Attach(DialogWidget* widget) { widget_ = widget; }

private:
    void WriteText(int id, const char* text) override;
    void WriteCheck(int id, bool checked) override;
    void WriteChanges(const std::vector<ControlState>& changes) override;

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

// The live widget of a dialog handle, or nullptr (GUI thread only).
DialogWidget* DialogWidgetOf(Dialog* dialog);

}  // namespace platform::qthost
