#include "platform/qt/frame_widget.h"
#include "platform/gui_post.h"

#include <QGuiApplication>
#include <QScreen>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>

namespace platform {
namespace {

// The box opens centred on its owner, which the parameter file may have put
// anywhere: a box the user cannot see would leave the program waiting.
void KeepOnScreen(QWidget& box) {
    QScreen* screen = QGuiApplication::screenAt(box.frameGeometry().center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = box.frameGeometry();
    const int x = std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y = std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.x() || y != frame.y()) box.move(box.pos() + QPoint(x - frame.x(), y - frame.y()));
}

}  // namespace

void MessageBoxOk(Frame* owner, const char* text, const char* title) {
    QMessageBox box(qthost::FrameWidgetOf(owner));
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(QString::fromLatin1(title != nullptr ? title : ""));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromLatin1(text != nullptr ? text : ""));
    box.setStandardButtons(QMessageBox::Ok);
    // Give it the focus ourselves once it is up, so that Return answers it
    // also where no window manager activates new windows.
    QTimer::singleShot(0, &box, [&box] {
        KeepOnScreen(box);
        box.activateWindow();
        box.raise();
    });
    box.exec();
}

bool ShiftKeyDown() {
    if (ShiftHeldForDelivery()) return true;  // a browser's command asked for Shift
    return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

}  // namespace platform
