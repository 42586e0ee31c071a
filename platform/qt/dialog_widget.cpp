#include "platform/qt/dialog_widget.h"

#include "platform/qt/controls.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/frame_widget.h"
#include "platform/qt/gui_call.h"
#include "platform/qt/keys.h"

#include <QAbstractButton>
#include <QImage>
#include <QKeyEvent>

#include <algorithm>
#include <cstring>

namespace platform::qthost {
namespace {

// Value fields and check boxes fill their own background (controls.cpp).
// Over a group box they take the shade the box paints there (some styles
// shade its inside); one that covers part of the box's frame or title stays
// see-through, so that it still shows.
void MatchGroupBoxShade(const std::vector<DialogItem>& items, const QColor& window) {
    for (const DialogItem& box : items) {
        if (box.kind != ControlKind::GroupBox) continue;
        QImage image(box.widget->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(window);
        box.widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        const QColor shade = image.pixelColor(image.width() / 2, image.height() / 2);
        for (const DialogItem& item : items) {
            const bool filled = item.kind == ControlKind::ValueField || item.kind == ControlKind::CheckBox;
            const QRect over = item.widget->geometry().translated(-box.widget->pos()) & image.rect();
            if (!filled || over.isEmpty()) continue;
            bool flat = over == item.widget->geometry().translated(-box.widget->pos());
            for (int y = over.top(); flat && y <= over.bottom(); ++y)
                for (int x = over.left(); flat && x <= over.right(); ++x) flat = image.pixelColor(x, y) == shade;
            if (!flat) {
                item.widget->setAutoFillBackground(false);
                continue;
            }
            QPalette palette = item.widget->palette();
            palette.setColor(item.widget->backgroundRole(), shade);  // Button for check boxes
            item.widget->setPalette(palette);
        }
    }
}

}  // namespace

const DialogItem* DialogWidget::Item(int id) const {
    if (id == -1) return nullptr;
    for (const DialogItem& item : items_)
        if (item.id == id) return &item;
    return nullptr;
}

void DialogWidget::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    const int code = VirtualKeyFromQt(event->key(), event->modifiers());
    if (code != 0) handle_->Deliver(DialogMsg{DialogMsgKind::KeyUp, 0, 0, code});
}

DialogWidget* DialogHandle::Widget() const {
    DialogWidget* widget = widget_.data();
    if (widget == nullptr || FrameWidgetOf(widget->Host()) == nullptr) return nullptr;
    return widget;
}

void DialogHandle::WriteText(int id, const char* text) {
    RunOnGuiThread([&] {
        DialogWidget* widget = Widget();
        const DialogItem* item = widget != nullptr ? widget->Item(id) : nullptr;
        if (item == nullptr) return;
        SetControlText(item->widget, item->kind, QString::fromLatin1(text != nullptr ? text : ""));
        NoteText(Record(), id, text);
    });
}

void DialogHandle::WriteCheck(int id, bool checked) {
    RunOnGuiThread([&] {
        DialogWidget* widget = Widget();
        const DialogItem* item = widget != nullptr ? widget->Item(id) : nullptr;
        if (item != nullptr) SetControlCheck(item->widget, item->kind, checked);  // noted on toggle
    });
}

void DialogHandle::WriteChanges(const std::vector<ControlState>& changes) {
    RunOnGuiThread([&] {
        DialogWidget* widget = Widget();
        if (widget == nullptr) return;
        for (const ControlState& change : changes) {
            const DialogItem* item = widget->Item(change.id);
            if (item == nullptr) continue;
            SetControlText(item->widget, item->kind, QString::fromLatin1(change.text.c_str()));
            NoteText(Record(), change.id, change.text.c_str());
            SetControlCheck(item->widget, item->kind, change.checked);  // noted on toggle
        }
    });
}

std::size_t DialogHandle::GetItemText(int id, char* buf, std::size_t size) {
    std::size_t length = 0;
    RunOnGuiThread([&] {
        DialogWidget* widget = Widget();
        const DialogItem* item = widget != nullptr ? widget->Item(id) : nullptr;
        const QByteArray text =
            item != nullptr ? ControlText(item->widget, item->kind).toLatin1() : QByteArray();
        if (buf == nullptr || size == 0) return;
        length = std::min(static_cast<std::size_t>(text.size()), size - 1);
        std::memcpy(buf, text.constData(), length);
        buf[length] = '\0';
    });
    return length;
}

bool DialogHandle::GetItemCheck(int id) {
    bool checked = false;
    RunOnGuiThread([&] {
        DialogWidget* widget = Widget();
        const DialogItem* item = widget != nullptr ? widget->Item(id) : nullptr;
        checked = item != nullptr && ControlCheck(item->widget, item->kind);
    });
    return checked;
}

void DialogHandle::FocusHost() {
    RunOnGuiThread([&] {
        if (DialogWidget* widget = Widget()) FocusFrame(widget->Host());
    });
}

DialogWidget* DialogWidgetOf(Dialog* dialog) {
    auto* handle = dynamic_cast<DialogHandle*>(dialog);
    return handle != nullptr ? handle->Widget() : nullptr;
}

}  // namespace platform::qthost

namespace platform {

Dialog* CreateDialogFromTemplate(Frame* parent, const DialogTemplate* record, DialogProc proc) {
    qthost::FrameWidget* frame = qthost::FrameWidgetOf(parent);
    if (frame == nullptr || record == nullptr) return nullptr;

    auto* handle = new qthost::DialogHandle(*record, proc);
    auto* widget = new qthost::DialogWidget(handle, parent, frame);
    handle->Attach(widget);
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setFont(qthost::DialogFont());
    widget->setAutoFillBackground(true);
    const qthost::BaseUnits units = qthost::DialogBaseUnits(widget->font());
    // The template gives the client area; a static edge adds a thin sunken
    // frame around it.
    int edge = 0;
    if ((record->exStyle & style::kExStaticEdge) != 0) {
        widget->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        widget->setLineWidth(1);
        edge = widget->frameWidth();
    }
    const QRect client = qthost::DialogRectToPixels(0, 0, record->width, record->height, units);
    widget->setGeometry(0, 0, client.width() + 2 * edge, client.height() + 2 * edge);
    const qthost::ControlSink sink = [handle](const DialogMsg& msg) { handle->Deliver(msg); };
    for (const ControlTemplate& control : record->controls) {
        const QRect geometry =
            qthost::DialogRectToPixels(control.x, control.y, control.width, control.height, units)
                .translated(edge, edge);
        QWidget* built = qthost::BuildControl(control, geometry, widget, sink);
        widget->AddItem(qthost::DialogItem{control.id, control.kind, built});
        const QByteArray shown = qthost::ControlText(built, control.kind).toLatin1();
        RecordControl(handle->Record(), control.id, shown.constData(),
                      qthost::ControlCheck(built, control.kind));
        if (control.kind == ControlKind::CheckBox) {
            // Clicks toggle a box without a write: the record follows the box.
            const int id = control.id;
            QObject::connect(static_cast<QAbstractButton*>(built), &QAbstractButton::toggled, widget,
                             [handle, id](bool on) { NoteCheck(handle->Record(), id, on); });
        }
    }
    qthost::MatchGroupBoxShade(widget->Items(), widget->palette().window().color());
    QObject::connect(widget, &QObject::destroyed, [handle] { NoteClosed(handle->Record()); });
    AddDialog(handle);
    handle->Deliver(DialogMsg{DialogMsgKind::Init, 0, 0, 0});
    widget->setVisible((record->style & style::kVisible) != 0);
    return handle;
}

void ShowDialog(Dialog* dialog, bool show) {
    if (QWidget* widget = qthost::DialogWidgetOf(dialog)) widget->setVisible(show);
}

void FitFrameToDialog(Frame* frame, Dialog* dialog) {
    QWidget* frameWidget = qthost::FrameWidgetOf(frame);
    QWidget* dialogWidget = qthost::DialogWidgetOf(dialog);
    if (frameWidget == nullptr || dialogWidget == nullptr) return;
    // Qt sizes a window by its client area, which is what the fit is after.
    frameWidget->setFixedSize(dialogWidget->size());
}

}  // namespace platform
