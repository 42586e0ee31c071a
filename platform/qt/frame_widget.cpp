#include "platform/qt/frame_widget.h"

#include "platform/frame_classes.h"
#include "platform/qt/gui_call.h"
#include "platform/qt/key_repeat.h"
#include "platform/qt/keys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <vector>

namespace platform::qthost {
namespace {

std::vector<Frame*>& Frames() {
    static auto* frames = new std::vector<Frame*>;  // handles live for the whole run
    return *frames;
}

// Sees every left-button press in the application and reports it to the
// frame under it, whether it lands on the frame itself or on a control.
class LeftPressWatcher : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        auto* widget = static_cast<QWidget*>(watched);
        // A press a child ignored travels on to its parents; report it only
        // where it landed first, the deepest widget under the pointer.
        if (widget->childAt(mouse->position().toPoint()) != nullptr) return false;
        auto* frame = dynamic_cast<FrameWidget*>(widget->window());
        if (frame != nullptr) frame->Deliver(FrameMsg{FrameMsgKind::LeftButtonDown, 0});
        return false;  // normal processing goes on
    }
};

void WatchLeftPresses() {
    static LeftPressWatcher* watcher = nullptr;
    if (watcher != nullptr || qApp == nullptr) return;
    watcher = new LeftPressWatcher;
    watcher->setParent(qApp);
    qApp->installEventFilter(watcher);
}

}  // namespace

FrameWidget::FrameWidget(Frame* handle, FrameProc proc)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint |
                           (FramesOnTop() ? Qt::WindowStaysOnTopHint : Qt::Widget)),
      handle_(handle),
      proc_(proc) {
    setFocusPolicy(Qt::StrongFocus);
    WatchLeftPresses();
    UseDetectableAutoRepeat();
    PrepareGuiCalls();
}

bool FrameWidget::Deliver(const FrameMsg& msg) {
    if (proc_ == nullptr) return false;
    return proc_(handle_, msg);
}

bool FrameWidget::event(QEvent* event) {
    // Keys are taken here, before QWidget would use Tab for focus changes.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        DeliverKey(this, event->type() == QEvent::KeyPress, key->key(), key->modifiers(),
                   key->isAutoRepeat());
        return true;
    }
    return QWidget::event(event);
}

void FrameWidget::closeEvent(QCloseEvent* event) {
    // A frame goes away only through DestroyFrame, which its procedure calls.
    event->ignore();
    Deliver(FrameMsg{FrameMsgKind::Close, 0});
}

FrameWidget* FrameWidgetOf(Frame* frame) {
    if (frame == nullptr || frame->destroyed) return nullptr;
    return frame->widget.data();
}

void DeliverKey(FrameWidget* target, bool press, int qtKey, Qt::KeyboardModifiers modifiers,
                bool autoRepeat) {
    if (target == nullptr || (!press && autoRepeat)) return;
    const int code = VirtualKeyFromQt(qtKey, modifiers);
    if (code == 0) return;
    target->Deliver(FrameMsg{press ? FrameMsgKind::KeyDown : FrameMsgKind::KeyUp, code});
}


FrameWidget* FindFrameWidget(const QString& title) {
    for (Frame* frame : Frames()) {
        FrameWidget* widget = FrameWidgetOf(frame);
        if (widget != nullptr && widget->windowTitle() == title) return widget;
    }
    return nullptr;
}

}  // namespace platform::qthost

namespace platform {

// A class is only a name here: the frame keeps it as its object name.
bool RegisterHostFrameClass(const char*) { return true; }

Frame* CreateFrame(const char* className, const char* title, int x, int y, int width, int height) {
    if (qApp == nullptr || className == nullptr) return nullptr;
    const FrameProc proc = FindFrameClass(className);
    if (proc == nullptr || width <= 0 || height <= 0) return nullptr;
    auto* frame = new Frame;
    frame->className = className;
    auto* widget = new qthost::FrameWidget(frame, proc);
    frame->widget = widget;
    widget->setObjectName(QString::fromLatin1(className));
    widget->setWindowTitle(QString::fromLatin1(title != nullptr ? title : ""));
    widget->setFixedSize(width, height);
    widget->move(x, y);  // for a top-level window this places the outer frame
    qthost::Frames().push_back(frame);
    return frame;
}

void ShowFrame(Frame* frame, bool show) {
    if (QWidget* widget = qthost::FrameWidgetOf(frame)) widget->setVisible(show);
}

void DestroyFrame(Frame* frame) {
    qthost::FrameWidget* widget = qthost::FrameWidgetOf(frame);
    if (widget == nullptr) return;
    frame->destroyed = true;
    widget->Detach();
    widget->hide();
    // Often called from the frame's own close handler: delete it once that
    // has returned. Its dialog goes with it.
    widget->deleteLater();
}

void FocusFrame(Frame* frame) {
    QWidget* widget = qthost::FrameWidgetOf(frame);
    if (widget == nullptr) return;
    // Done by the program itself, so that it works the same with or without
    // a window manager.
    widget->activateWindow();
    widget->raise();
    widget->setFocus(Qt::OtherFocusReason);
}

bool FrameExists(Frame* frame) { return qthost::FrameWidgetOf(frame) != nullptr; }

bool FramePosition(Frame* frame, int* x, int* y) {
    QWidget* widget = qthost::FrameWidgetOf(frame);
    if (widget == nullptr) return false;
    // pos() is the outer frame's corner, as move() placed it.
    *x = widget->pos().x();
    *y = widget->pos().y();
    return true;
}

}  // namespace platform
