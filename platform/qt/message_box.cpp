#include "platform/qt/frame_widget.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

namespace platform {

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
        box.activateWindow();
        box.raise();
    });
    box.exec();
}

bool ShiftKeyDown() {
    return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

}  // namespace platform
