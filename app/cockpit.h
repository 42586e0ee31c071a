// The cockpit object: owns every part of the program (the log's writer, the
// catalog, the panel model, the link, the FMC, the windows, the refresh, the
// browser host, the set-up desk and its worker, the board host), builds them
// in order, hands each what it uses, starts them, and stops them in reverse.
// The program builds one with the real windowing host; tests build theirs
// with a null host (no windows, no boxes) in one process, one after another.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include <vector>

#include "app/setup_worker.h"
#include "boards/mapping.h"
#include "base/thread_owner.h"
#include "platform/gui.h"
#include "platform/gui_post.h"
#include "platform/window.h"

namespace boards {
class BoardHost;
}
namespace model {
struct Catalog;
class PanelModel;
class SetupDesk;
}  // namespace model

// What the cockpit is handed of the windowing host.
struct CockpitHost {
    platform::AppInstance instance = nullptr;
    // Takes commands to the GUI thread; empty: none (every command refused).
    platform::GuiPoster gui;
    // Whether there are windows to open: the panels, the boxes that say why
    // something cannot be used.
    bool windows = false;
    // A message box with only an OK button (nullptr: none is shown).
    std::function<void(platform::Frame* owner, const char* text, const char* title)> messageBox;
};

struct CockpitOptions {
    const char* logFile = "ORVVarnoth.log";
    // The parameter file; empty: decided from the working directory.
    std::string parameterFile;
};

class Cockpit {
public:
    Cockpit(CockpitHost host, CockpitOptions options = {});
    ~Cockpit();  // stops first
    Cockpit(const Cockpit&) = delete;
    Cockpit& operator=(const Cockpit&) = delete;

    // Builds the parts in the program's start-up order: the log, the
    // catalog and the model, the parameter file, the link and the FMC, the
    // windows. Ends the process with its code on a fault, as start-up does.
    void Init();
    // Starts the refresh, the FMC, the browser host, the boards and the
    // set-up worker.
    void Start();
    // Stops every thread in reverse order and takes the link down; Init may
    // follow again. The program never calls it: it ends with the process.
    void Stop();

    model::PanelModel& panels() { return *panelModel_; }
    model::SetupDesk& desk() { return *desk_; }

private:
    CockpitHost host_;
    CockpitOptions options_;
    // Declared first, so destroyed last: the parts outlive their threads.
    std::unique_ptr<model::Catalog> catalog_;
    std::unique_ptr<model::PanelModel> panelModel_;
    std::unique_ptr<model::SetupDesk> desk_;
    std::unique_ptr<boards::BoardHost> boards_;
    SetupFile setupFile_;
    std::vector<boards::BoardMap> boardMaps_;  // as the parameter file names them
    ThreadOwner threads_;
    bool linkUp_ = false;
};
