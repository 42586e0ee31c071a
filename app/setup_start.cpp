#include "app/setup_start.h"

#include <atomic>
#include <memory>
#include <string>

#include "app/window_layout_now.h"
#include "base/log.h"
#include "base/thread_owner.h"
#include "boards/board_host.h"
#include "boards/mapping.h"

namespace {

using Kind = model::SetupRequest::Kind;

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
    desk.Answer(model::OutcomeView{request.id, ok, ok ? done : why, 0, "", 0, {}});
}

bool SameTarget(const boards::Target& a, const boards::Target& b) {
    return a.kind == b.kind && a.id == b.id && a.checkBox == b.checkBox;
}

// Whether two mappings drive the same boards the same way: a save that
// leaves them alone (a tablet allowed) leaves the boards connected.
bool SameMaps(const std::vector<boards::BoardMap>& a, const std::vector<boards::BoardMap>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const boards::BoardMap& x = a[i];
        const boards::BoardMap& y = b[i];
        if (x.name != y.name || x.port != y.port || x.inputs.size() != y.inputs.size() ||
            boards::ConfigurationLines(x) != boards::ConfigurationLines(y))
            return false;
        for (std::size_t k = 0; k < x.inputs.size(); ++k)
            if (!SameTarget(x.inputs[k].target, y.inputs[k].target)) return false;
        for (std::size_t k = 0; k < x.outputs.size(); ++k)
            if (x.outputs[k].controlId != y.outputs[k].controlId) return false;
    }
    return true;
}

}  // namespace

void StartSetupWorker(ThreadOwner& threads, model::SetupDesk& desk, boards::BoardHost& host,
                      const SetupFile& file, const std::vector<boards::BoardMap>& started, platform::GuiPoster gui) {
    SetupHooks hooks;
    hooks.boardRequest = [&desk, &host](const model::SetupRequest& request) { BoardRequest(desk, host, request); };
    // A saved mapping takes effect at once: every board is configured anew,
    // unless the save left the mapping as it was. Only the worker's thread
    // calls this, so the last mapping needs no lock.
    auto applied = std::make_shared<std::vector<boards::BoardMap>>(started);
    hooks.applyBoards = [&host, applied](const std::vector<boards::BoardMap>& maps) {
        if (SameMaps(*applied, maps)) return;
        *applied = maps;
        host.Reconfigure(maps);
    };
    // The web lists take effect through the desk, which the worker updates.
    hooks.windowLayout = [gui](WindowLayout* layout, std::string* why) { return WindowLayoutNow(gui, layout, why); };
    desk.Resume();
    threads.Start(
        [&desk, file, hooks](platform::StopSignal&) {
            // The desk's interrupt ends the wait for the next request.
            static const std::atomic<bool> never{false};
            RunSetupWorker(desk, file, hooks, never);
        },
        [&desk] { desk.Interrupt(); });
}
