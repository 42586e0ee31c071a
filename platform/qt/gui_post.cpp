#include "platform/qt/gui_post.h"

#include "platform/qt/dialog_widget.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform::qthost {

void PostToGui(void (*work)(void*), void* context) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return;
    QMetaObject::invokeMethod(app, [work, context] { work(context); }, Qt::QueuedConnection);
}

void DeliverToDialog(Dialog* dialog, const DialogMsg& msg) {
    static_cast<DialogHandle*>(dialog)->Deliver(msg);
}

}  // namespace platform::qthost
