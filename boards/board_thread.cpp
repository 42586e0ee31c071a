#include "boards/board_thread.h"

#include "platform/steady_clock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/log.h"
#include "boards/mapping.h"
#include "boards/panel_access.h"
#include "boards/pending_outputs.h"
#include "boards/session.h"
#include "platform/serial.h"
#include "platform/time.h"
#include "platform/wake_signal.h"

namespace boards {
namespace {

// Without a wake signal (none could be made) the outputs are looked at this
// often instead.
constexpr std::int64_t kNoWakeSignalMs = 50;

}  // namespace

// A snapshot's answer adds the outputs' lines to the steps, done in their turn.
bool Perform(BoardRun* run, BoardSession* s, platform::SerialPort* port, SessionSteps* steps) {
    if (steps->empty()) return true;
    model::PanelModel& model = run->model;
    SessionSteps refusals;
    bool open = true;
    for (std::size_t k = 0; k < steps->size(); ++k) {
        const SessionStep step = (*steps)[k];
        const char* refusal = nullptr;
        switch (step.kind) {
            case SessionStep::Kind::Write:
                open = platform::WriteSerial(port, step.text.data(), step.text.size());
                break;
            case SessionStep::Kind::Log: WriteLog((step.text + "\n").c_str()); break;
            case SessionStep::Kind::Close: open = false; break;
            case SessionStep::Kind::Snapshot: SessionSnapshot(s, SnapshotOutputs(&run->outputs), steps); break;
            case SessionStep::Kind::Press: refusal = Press(model, s->map->inputs[step.input].target, step.on); break;
            case SessionStep::Kind::Switch: refusal = SetSwitch(model, s->map->inputs[step.input].target, step.on); break;
            case SessionStep::Kind::Step:
                refusal = Step(model, s->map->inputs[step.input].target.id, step.detents, step.on);
                break;
        }
        if (refusal != nullptr) {
            SessionRefused(s, step.input, refusal, &refusals);
            for (const SessionStep& r : refusals) WriteLog((r.text + "\n").c_str());
            refusals.clear();
        }
        if (!open) break;
    }
    steps->clear();
    return open;
}

void Show(BoardRun* run, const BoardSession& s) {
    model::BoardView view = run->published;
    view.state = s.state;
    view.heardName = s.heardName;
    view.version = s.version;
    view.badLines = s.badLines;
    view.lastInput = s.lastInput;
    PublishBoard(run, std::move(view));
}

namespace {

// The outputs' controls that changed: the session writes what the board
// does not show yet.
void FeedPanels(BoardSession* s, PendingOutputs* outputs, SessionSteps* steps) {
    for (const platform::ControlState& state : TakePending(outputs)) {
        SessionPanelText(s, state.id, state.text, steps);
        SessionPanelCheck(s, state.id, state.checked, steps);
    }
}

// How long the port may be waited on: until the session's next timer.
int WaitMs(const BoardSession* s, const BoardRun& run, std::int64_t now) {
    std::int64_t wait = -1;
    if (const std::int64_t due = SessionNextDue(s); due >= 0) wait = due > now ? due - now + 1 : 0;
    if (!run.woken && (wait < 0 || wait > kNoWakeSignalMs)) wait = kNoWakeSignalMs;
    return wait > INT32_MAX ? INT32_MAX : static_cast<int>(wait);
}

// Until the port fails, the session gives the board up or a stop is
// requested. Blocks on the port and the wake signal: it wakes for bytes, a
// change to a control the board shows, the session's timers and the stop.
void RunSession(BoardSession* s, platform::SerialPort* port, BoardRun* run, const platform::StopSignal& stop) {
    char buffer[256];
    SessionSteps steps;
    while (!stop.Requested()) {
        const long n = platform::ReadSerial(port, buffer, sizeof buffer, WaitMs(s, *run, platform::SteadyMs()),
                                            run->woken ? &run->wake : nullptr);
        if (n < 0) return;
        const std::int64_t now = platform::SteadyMs();
        SessionBytes(s, std::string_view(buffer, static_cast<std::size_t>(n)), now, &steps);
        FeedPanels(s, &run->outputs, &steps);
        SessionTick(s, now, &steps);
        const bool open = Perform(run, s, port, &steps);
        Show(run, *s);
        if (!open) return;
    }
}

}  // namespace

BoardRun::BoardRun(const BoardMap& m, model::PanelModel& panels, model::SetupDesk* d, std::size_t i)
    : map(m), model(panels), desk(d), index(i) {
    published.name = map.name;
    published.port = map.port;
    woken = platform::OpenWakeSignal(&wake);
}

BoardRun::~BoardRun() { platform::CloseWakeSignal(&wake); }

void BoardRun::Wake() const {
    if (woken) platform::SignalWake(wake);
}

void PublishBoard(BoardRun* run, model::BoardView view) {
    const model::BoardView& was = run->published;
    if (view.state == was.state && view.heardName == was.heardName && view.version == was.version &&
        view.badLines == was.badLines && view.lastInput == was.lastInput)
        return;
    run->published = view;
    if (run->desk == nullptr) return;
    run->desk->Publish([run, &view](model::SetupSnapshot& snapshot) {
        if (run->index < snapshot.boards.size() && snapshot.boards[run->index].name == view.name)
            snapshot.boards[run->index] = view;
    });
}

void RunBoard(BoardRun* run, platform::StopSignal& stop) {
    BoardSession s;
    SessionInit(&s, &run->map);
    s.askStats = true;
    RunBoard(run, &s, stop);
}

void RunBoard(BoardRun* run, BoardSession* session, platform::StopSignal& stop) {
    const BoardMap& map = run->map;
    if (!run->woken) WriteLog(("Board " + map.name + ": no wake signal; its outputs are looked at every " +
                               std::to_string(kNoWakeSignalMs) + " ms\n").c_str());
    SubscribeOutputs(&run->outputs, run->model, map, [run] { run->Wake(); });
    BoardSession& s = *session;
    SessionSteps steps;
    do {
        platform::SerialPort port{};
        const platform::SerialOpen opened = platform::OpenSerial(map.port.c_str(), kBaud, &port);
        if (opened != platform::SerialOpen::Ok) {
            SessionOpenFailed(&s, opened, &steps);
            Perform(run, &s, &port, &steps);
            Show(run, s);
            continue;
        }
        SessionOpened(&s, platform::SteadyMs());
        RunSession(&s, &port, run, stop);
        platform::CloseSerial(&port);
        if (stop.Requested()) break;
        SessionLost(&s, &steps);
        Perform(run, &s, &port, &steps);
        Show(run, s);
    } while (stop.Sleep(static_cast<int>(kRetryMs)));
    UnsubscribeOutputs(&run->outputs);
}

}  // namespace boards
