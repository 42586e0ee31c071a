// The set-up worker: a thread of the program that takes the set-up page's
// requests from the desk. It handles the parameter file itself (reading,
// saving edits, saving the window layout) and hands the board requests and
// the live use of a saved file to hooks the program fills.
#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "app/parameter_parse.h"
#include "app/setup_save.h"
#include "model/setup_desk.h"

struct SetupHooks {
    // FindBoards, NameBoard, StartLearn, StopLearn and Identify: the board
    // host acts and publishes what it finds.
    std::function<void(const model::SetupRequest&)> boardRequest;
    // A saved file's board maps, to take effect now.
    std::function<void(const std::vector<boards::BoardMap>&)> applyBoards;
    // The panel windows' positions now; false with the reason when they
    // cannot be had.
    std::function<bool(WindowLayout*, std::string* why)> windowLayout;
};

struct SetupFile {
    std::string path;
    const model::Catalog* catalog = nullptr;
    // What a parse of the file starts from: the defaults and what the file
    // does not set.
    AppSettings base = DefaultSettings();
};

// Start-up, before the web server and the worker: the desk's file view and
// its grants (`webcontrol`, `websetup`) as start-up read them. From then on
// the desk is the one place the web server reads them from, and only the
// worker changes them (a save, a reload), the file being their store.
void SeedSetupDesk(model::SetupDesk& desk, const SetupFile& file, const AppSettings& read);

// Publishes the file's view (not its grants: the desk has them since
// start-up), then handles requests until `stop` is set and the desk
// interrupted. Each change is logged with the address that asked for it.
void RunSetupWorker(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
                    const std::atomic<bool>& stop);

// One request, as the loop does it (for the program's tests and the loop).
void HandleSetupRequest(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
                        const model::SetupRequest& request);
