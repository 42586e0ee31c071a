#include "app/cockpit.h"

#include <string>

#include "app/parameter_file.h"
#include "app/parameter_parse.h"
#include "app/setup_start.h"
#include "app/startup.h"
#include "app/web_start.h"
#include "base/fatal.h"
#include "base/log.h"
#include "boards/board_host.h"
#include "fmc/fmc_thread.h"
#include "link/net_init.h"
#include "link/link_state.h"
#include "link/net_stop.h"
#include "link/node_cadence.h"
#include "model/panel_model_writer.h"
#include "model/setup_desk.h"
#include "panels/keymap.h"
#include "panels/panel_table.h"
#include "panels/update_thread.h"
#include "panels/windows.h"
#include "platform/process.h"
#include "platform/window.h"

namespace {

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

// What the pages show of the link.
model::LinkView ReadLink() {
    model::LinkView view;
    view.node = dbNodeIpv4.load(std::memory_order_relaxed);
    view.connected = linkConnected.load(std::memory_order_acquire);
    view.lastDatagramMs = lastDbDatagramMs.load(std::memory_order_relaxed);
    view.staleMs = StaleThresholdMs();
    return view;
}

// The receiver's word that a shown variable changed: the refresh wakes.
void WakeRefreshFor(void* panels) { model::WakeRefreshForData(*static_cast<model::PanelModel*>(panels)); }

}  // namespace

Cockpit::Cockpit(CockpitHost host, CockpitOptions options) : host_(std::move(host)), options_(std::move(options)) {}

Cockpit::~Cockpit() { Stop(); }

void Cockpit::Init() {
    Settings = DefaultSettings();
    boardMaps_.clear();
    Settings.appInstance = host_.instance;
    Settings.buildStamp = DateStamp();
    StartLog(options_.logFile);
    StartLogWriter(threads_);
    // The templates must be there before any window: the parameter file
    // reader may already open the Status window for its error box.
    std::string templateError;
    catalog_ = std::make_unique<model::Catalog>();
    if (!panels::LoadPanelCatalog(catalog_.get(), &templateError))
        FatalStop(kNoTemplates, ("Dialog templates: " + templateError + "\n").c_str());
    // The one panel model, handed to the windows, the refresh, the web
    // server and the boards.
    panelModel_ = std::make_unique<model::PanelModel>(*catalog_, host_.gui, ReadLink);
    model::SetKeyHandler(*panelModel_, KeyFromFrontEnd, nullptr);
    WriteLogf("OrvVarnoth Version: %0d.%0d starting.\n", Settings.versionMajor, Settings.buildStamp);

    if (!platform::GetWorkingDirectory(Settings.workingDirectory, sizeof Settings.workingDirectory))
        Settings.workingDirectory[0] = '\0';
    DecideParameterPath(Settings);
    if (!options_.parameterFile.empty())
        std::snprintf(Settings.parameterFilePath, sizeof Settings.parameterFilePath, "%s",
                      options_.parameterFile.c_str());

    // What a parse of the file starts from when the set-up page saves it.
    setupFile_.path = Settings.parameterFilePath;
    setupFile_.catalog = catalog_.get();
    setupFile_.base = Settings;
    ParameterFileUi ui;
    ui.catalog = catalog_.get();
    const PanelWindowSource windows{catalog_.get(), panelModel_.get()};
    if (host_.windows) {
        ui.openStatusWindow = [windows](platform::AppInstance instance, bool show) {
            CreateStatusWin(instance, show, windows);
            return statusFrame;
        };
    }
    ui.messageBox = host_.messageBox;
    if (ReadParameterFile(Settings.parameterFilePath, ui, &boardMaps_) != 0)
        FatalStop(10, "Error in parameter file, exiting\n");
    if (host_.windows) platform::SetFramesOnTop(Settings.windowsOnTop);

    WriteLog("Initializing Database\n");

    NetworkKeywords keywords;
    keywords.adapter = Settings.networkAdapter;
    if (Settings.haveDbNode) keywords.dbNode = Settings.dbNodeAddress;
    LinkServices link;
    link.shownValueChanged = WakeRefreshFor;
    link.shownValueContext = panelModel_.get();
    const int udp = InitUdp(threads_, link, 9099, 15, Settings.versionMajor, Settings.buildStamp, keywords);
    linkUp_ = true;
    if (udp == kInitUdpNoAdapter) {
        // Only the network can tell that the file's adapter is not there.
        const std::string message = std::string("No network adapter matches: ") + Settings.networkAdapter;
        ReportParameterError(message.c_str(), ui);
        FatalStop(10, "Error in parameter file, exiting\n");
    } else if (udp == kMonitorBindFailed && host_.messageBox) {
        // Start-up goes on, but without the link the panels stay empty: say why.
        host_.messageBox(nullptr,
                         "UDP port 9099 is in use: another copy of OrvVarnoth may be running.\n"
                         "This copy cannot reach the simulator, and its panels will stay empty.",
                         "Port In Use");
    }

    InitFMC();

    if (!host_.windows) return;
    if (Settings.singleWindow) {
        CreateBigWin(Settings.appInstance, windows);
        platform::FocusFrame(bigWinFrame);
    } else {
        CreateStatusWin(Settings.appInstance, Settings.showStatus, windows);
        CreateAutopilotWin(Settings.appInstance, Settings.showAuto, windows);
        CreateNavDispWin(Settings.appInstance, Settings.showNav, windows);
        CreateRadiosWin(Settings.appInstance, Settings.showRadios, windows);
        platform::FocusFrame(radiosFrame);
    }
    // The up-down control is part of the windowing host: nothing to register.
}

void Cockpit::Start() {
    WriteLog("Starting Update Thread\n");
    model::PanelModel* panels = panelModel_.get();
    threads_.Start([panels](platform::StopSignal& stop) { UpdateThread(stop, *panels); });
    threads_.Start([](platform::StopSignal& stop) { FMCThread(stop, platform::kSystemClock); });
    // After the threads: should its port be taken, the panels refresh
    // behind the box that says so.
    // The set-up page and its worker meet at the desk.
    desk_ = std::make_unique<model::SetupDesk>();
    // The file and its web lists as read, before anything else publishes:
    // from then on the desk is the one source of who may command.
    SeedSetupDesk(*desk_, setupFile_, Settings);
    StartWebPanels(threads_, *panelModel_, desk_.get(), host_.messageBox);
    // Each board on its own thread: a missing board only writes to the log.
    boards_ = std::make_unique<boards::BoardHost>(*panelModel_, desk_.get());
    boards_->Start(boardMaps_);
    StartSetupWorker(threads_, *desk_, *boards_, setupFile_, boardMaps_, host_.gui);
}

void Cockpit::Stop() {
    if (boards_) boards_->Stop();
    threads_.StopAll();
    if (linkUp_) StopUdp();
    linkUp_ = false;
    boards_.reset();
    desk_.reset();
}
