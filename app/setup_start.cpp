#include "app/setup_start.h"

#include <atomic>
#include <string>

#include "app/window_layout_now.h"
#include "base/log.h"
#include "base/thread_owner.h"
#include "boards/board_host.h"

namespace {

using Kind = model::SetupRequest::Kind;

// The log reads "%%" as "%": what the page sent is kept as is.
std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '%' ? std::string("%%") : std::string(1, c);
    return out;
}

std::string Pins(const std::vector<int>& pins) {
    std::string out;
    for (const int pin : pins) out += (out.empty() ? "" : " ") + std::to_string(pin);
    return out;
}

// A board request, done by the host; what became of it goes to the page and
// the log, with the address that asked.
void BoardRequest(model::SetupDesk& desk, boards::BoardHost& host, const model::SetupRequest& request) {
    std::string why, done;
    bool ok = true;
    switch (request.kind) {
    case Kind::FindBoards: {
        const std::size_t found = host.FindBoards().size();
        done = "looked for boards (" + std::to_string(found) + (found == 1 ? " port)" : " ports)");
        break;
    }
    case Kind::NameBoard:
        ok = host.NameBoard(request.port, request.name, &why);
        done = "named the board on " + request.port + " " + request.name;
        break;
    case Kind::StartLearn:
        ok = host.StartLearn(request.board, &why);
        done = "Learn on board " + request.board;
        break;
    case Kind::StopLearn:
        host.StopLearn();
        done = "Learn ended";
        break;
    case Kind::Identify:
        ok = host.Identify(request.pins, &why);
        done = "identify pins " + Pins(request.pins);
        break;
    default:
        return;
    }
    const std::string text = ok ? done : done + " failed: " + why;
    WriteLog(Escaped("Set-up from " + request.from + ": " + text + "\n").c_str());
    desk.Publish([&](model::SetupSnapshot& s) {
        s.outcome = model::OutcomeView{request.id, ok, ok ? done : why, 0, ""};
    });
}

}  // namespace

void StartSetupWorker(ThreadOwner& threads, model::SetupDesk& desk, boards::BoardHost& host,
                      const SetupFile& file) {
    SetupHooks hooks;
    hooks.boardRequest = [&desk, &host](const model::SetupRequest& request) { BoardRequest(desk, host, request); };
    // A saved mapping takes effect at once: every board is configured anew.
    hooks.applyBoards = [&host](const std::vector<boards::BoardMap>& maps) { host.Reconfigure(maps); };
    // The web lists take effect through the desk, which the worker updates.
    hooks.windowLayout = WindowLayoutNow;
    desk.Resume();
    threads.Start(
        [&desk, file, hooks](platform::StopSignal&) {
            // The desk's interrupt ends the wait for the next request.
            static const std::atomic<bool> never{false};
            RunSetupWorker(desk, file, hooks, never);
        },
        [&desk] { desk.Interrupt(); });
}
