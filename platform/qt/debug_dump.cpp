#include "platform/qt/debug_dump.h"

#include "platform/qt/controls.h"
#include "platform/qt/dialog_widget.h"
#include "platform/qt/frame_widget.h"
#include "platform/qt/gui_call.h"

#include <QApplication>
#include <QSaveFile>
#include <QTimer>

#include <cstdlib>

namespace platform {

std::string DumpDialogs() {
    std::string out;
    qthost::RunOnGuiThread([&out] {
        for (qthost::DialogHandle* handle : qthost::AllDialogs()) {
            qthost::DialogWidget* widget = handle->Widget();
            if (widget == nullptr) continue;
            for (const qthost::DialogItem& item : widget->Items()) {
                if (item.id == -1) continue;
                const QString text = qthost::ControlText(item.widget, item.kind);
                const bool checked = qthost::ControlCheck(item.widget, item.kind);
                out += QString::asprintf("%d %d ", handle->TemplateId(), item.id).toStdString();
                out += text.toLatin1().toStdString();
                out += checked ? "|1\n" : "|0\n";
            }
        }
    });
    return out;
}

namespace qthost {

std::string DumpFrames() {
    std::string out;
    RunOnGuiThread([&out] {
        for (Frame* frame : AllFrames()) {
            QWidget* widget = FrameWidgetOf(frame);
            if (widget == nullptr) continue;
            const QRect outer = widget->frameGeometry();
            out += QString::asprintf("frame %s %d %d %d %d %d %d ", frame->className.c_str(),
                                     widget->isVisible() ? 1 : 0, widget->isActiveWindow() ? 1 : 0,
                                     outer.x(), outer.y(), outer.width(), outer.height())
                       .toStdString();
            out += widget->windowTitle().toLatin1().toStdString();
            out += '\n';
        }
    });
    return out;
}

void StartDebugDump() {
    const char* path = std::getenv("ORV_DEBUG_DUMP");
    if (path == nullptr || *path == '\0' || qApp == nullptr) return;
    auto* timer = new QTimer(qApp);
    const QString file = QString::fromLocal8Bit(path);
    QObject::connect(timer, &QTimer::timeout, qApp, [file] {
        // Written whole and renamed into place: a reader never sees half a dump.
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly)) return;
        const std::string text = DumpFrames() + DumpDialogs();
        out.write(text.data(), static_cast<qint64>(text.size()));
        out.commit();
    });
    timer->start(1000);
}

}  // namespace qthost
}  // namespace platform
