#include "model/dialog_script.h"
#include "bench/panel_gui.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <cstdlib>

#include "base/log.h"
#include "base/settings.h"
#include "link/link_state.h"
#include "link/var_table.h"
#include "model/catalog.h"
#include "panels/panel_table.h"
#include "panels/windows.h"
#include "platform/gui.h"
#include "platform/qt/frame_widget.h"
#include "platform/window.h"
#include "resources/dialog_script.h"

namespace benchsupport {
namespace {

// The offscreen platform cannot raise windows and says so at every focus
// change; everything else still gets through.
QtMessageHandler defaultHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (defaultHandler != nullptr) defaultHandler(type, context, text);
}

}  // namespace

bool OpenCombinedWindow(int& argc, char** argv, const char* logName) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    StartLog(logName);
    defaultHandler = qInstallMessageHandler(QuietHandler);
    Settings = DefaultSettings();
    platform::GuiInit(argc, argv);
    static model::Catalog catalog;
    if (!panels::LoadPanelCatalog(&catalog)) {
        std::fprintf(stderr, "The dialog templates did not load\n");
        return false;
    }
    InitDB();
    DataMutex = platform::NewMutex("DATAMUTEX");
    FlightMutex = platform::NewMutex("FLIGHTMUTEX");
    if (DataMutex == nullptr || FlightMutex == nullptr || !CreateBigWin(nullptr, PanelWindowSource{&catalog, nullptr})) {
        std::fprintf(stderr, "The combined window did not open\n");
        return false;
    }
    platform::FocusFrame(bigWinFrame);
    QWidget* frame = platform::qthost::FrameWidgetOf(bigWinFrame);
    if (frame == nullptr || !QTest::qWaitForWindowExposed(frame)) {
        std::fprintf(stderr, "The combined window was not shown\n");
        return false;
    }
    // Keys go to the frame directly, so an inactive window only gets a note.
    if (!QTest::qWaitForWindowActive(frame)) std::fprintf(stderr, "The combined window is not active\n");
    return true;
}

}  // namespace benchsupport
