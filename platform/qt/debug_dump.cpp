#include "platform/window.h"

#include "platform/qt/controls.h"
#include "platform/qt/dialog_widget.h"
#include "platform/qt/frame_widget.h"
#include "platform/qt/gui_call.h"

#include <QApplication>

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

}  // namespace platform
