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
        for (HostDialog* handle : AllDialogs()) {
            qthost::DialogWidget* widget = qthost::DialogWidgetOf(handle);
            if (widget == nullptr) continue;
            for (const qthost::DialogItem& item : widget->Items()) {
                if (item.id == -1) continue;
                const QByteArray text = qthost::ControlText(item.widget, item.kind).toLatin1();
                AppendDumpLine(&out, handle->TemplateId(), item.id, text.constData(),
                               qthost::ControlCheck(item.widget, item.kind));
            }
        }
    });
    return out;
}

}  // namespace platform
