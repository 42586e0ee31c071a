#include "app/startup.h"

#include <string>
#include <thread>

#include "app/parameter_file.h"
#include "app/parameter_file_boards.h"
#include "app/parameter_parse.h"
#include "app/setup_start.h"
#include "app/web_start.h"
#include "boards/board_host.h"
#include "base/fatal.h"
#include "base/log.h"
#include "base/thread_owner.h"
#include "fmc/fmc_thread.h"
#include "link/net_init.h"
#include "model/panel_model_writer.h"
#include "panels/keymap.h"
#include "panels/panel_table.h"
#include "panels/update_thread.h"
#include "panels/windows.h"
#include "platform/process.h"
#include "platform/window.h"

namespace {

// Losing the X display is a stop of its own: the panels cannot go on, and
// the toolkit's own exit (code 1) is taken by an oversize datagram.
constexpr int kDisplayLost = 6060;
// The compiled-in templates do not parse: no window could be built.
constexpr int kNoTemplates = 6061;

// A key a board (or any front-end) sent through the model, on the GUI
// thread: the key map takes it as from the keyboard, with no frame.
void KeyFromFrontEnd(void* /*context*/, int keyCode, bool down) {
    if (down)
        KeyDown(nullptr, keyCode);
    else
        KeyUp(nullptr, keyCode);
}

}  // namespace

int RunProgram(platform::AppInstance instance) {
    // Lives until the process ends, which never waits for its threads.
    static ThreadOwner coreThreads;
    Settings.appInstance = instance;
    Settings.buildStamp = DateStamp();
    StartLog("ORVVarnoth.log");
    StartLogWriter(coreThreads);
    platform::SetDisplayLostHandler([] { FatalStop(kDisplayLost, "Display connection lost\n"); });
    // The templates must be there before any window: the parameter file
    // reader may already open the Status window for its error box.
    std::string templateError;
    static auto* catalog = new model::Catalog;  // like the model, read until the end
    if (!panels::LoadPanelCatalog(catalog, &templateError))
        FatalStop(kNoTemplates, ("Dialog templates: " + templateError + "\n").c_str());
    platform::UseDialogTemplates(&catalog->templates);
    // The one panel model, handed to the windows, the refresh, the web
    // server and the boards; never destroyed, as other threads may still
    // use it when the process ends.
    static auto* panelModel = new model::PanelModel(*catalog);
    ShowPanelModel(panelModel);
    UseBoardCatalog(catalog);
    model::SetKeyHandler(*panelModel, KeyFromFrontEnd, nullptr);
    WriteLogf("OrvVarnoth Version: %0d.%0d starting.\n", Settings.versionMajor, Settings.buildStamp);

    if (!platform::GetWorkingDirectory(Settings.workingDirectory, sizeof Settings.workingDirectory))
        Settings.workingDirectory[0] = '\0';
    DecideParameterPath(Settings);

    // What a parse of the file starts from when the set-up page saves it.
    static SetupFile setupFile;
    setupFile.path = Settings.parameterFilePath;
    setupFile.catalog = catalog;
    setupFile.base = Settings;
    if (ReadParameterFile(Settings.parameterFilePath) != 0)
        FatalStop(10, "Error in parameter file, exiting\n");
    platform::SetFramesOnTop(Settings.windowsOnTop);

    WriteLog("Initializing Database\n");

    NetworkKeywords keywords;
    keywords.adapter = Settings.networkAdapter;
    if (Settings.haveDbNode) keywords.dbNode = Settings.dbNodeAddress;
    // The real clock and mutexes; a shown value that changes wakes the refresh.
    LinkServices link;
    link.shownValueChanged = [](void* m) { model::WakeRefreshForData(*static_cast<model::PanelModel*>(m)); };
    link.shownValueContext = panelModel;
    const int udp = InitUdp(coreThreads, link, 9099, 15, Settings.versionMajor, Settings.buildStamp, keywords);
    if (udp == kInitUdpNoAdapter) {
        // Only the network can tell that the file's adapter is not there.
        const std::string message = std::string("No network adapter matches: ") + Settings.networkAdapter;
        ReportParameterError(message.c_str());
        FatalStop(10, "Error in parameter file, exiting\n");
    } else if (udp == kMonitorBindFailed) {
        // Start-up goes on, but without the link the panels stay empty: say why.
        platform::MessageBoxOk(nullptr,
                               "UDP port 9099 is in use: another copy of OrvVarnoth may be running.\n"
                               "This copy cannot reach the simulator, and its panels will stay empty.",
                               "Port In Use");
    }

    InitFMC();

    if (Settings.singleWindow) {
        CreateBigWin(Settings.appInstance);
        platform::FocusFrame(bigWinFrame);
    } else {
        CreateStatusWin(Settings.appInstance, Settings.showStatus);
        CreateAutopilotWin(Settings.appInstance, Settings.showAuto);
        CreateNavDispWin(Settings.appInstance, Settings.showNav);
        CreateRadiosWin(Settings.appInstance, Settings.showRadios);
        platform::FocusFrame(radiosFrame);
    }

    // The up-down control is part of the windowing host: nothing to register.

    WriteLog("Starting Update Thread\n");
    // Ending the process ends the threads: they are never joined here.
    coreThreads.Start([](platform::StopSignal& stop) { UpdateThread(stop, *panelModel); });
    coreThreads.Start([](platform::StopSignal& stop) { FMCThread(stop, platform::kSystemClock); });
    // After the threads: should its port be taken, the panels refresh
    // behind the box that says so.
    // The set-up page and its worker meet at the desk; like the model, it
    // and the board host are never destroyed.
    static auto* setupDesk = new model::SetupDesk;
    // The web lists as read, before anything else publishes: browsers
    // judge commands by the desk's lists from its first publish on.
    setupDesk->Publish([](model::SetupSnapshot& s) {
        s.control = WebControlRanges(Settings);
        s.setup = WebSetupRanges(Settings);
    });
    StartWebPanels(coreThreads, *panelModel, setupDesk);
    // Each board on its own thread: a missing board only writes to the log.
    static auto* boardHost = new boards::BoardHost(*panelModel, setupDesk);
    boardHost->Start(boards::boardMaps);
    StartSetupWorker(coreThreads, *setupDesk, *boardHost, setupFile);

    return platform::GuiRunMessageLoop();
}
