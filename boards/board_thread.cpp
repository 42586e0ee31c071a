#include "boards/board_thread.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/log.h"
#include "base/thread_owner.h"
#include "boards/mapping.h"
#include "boards/panel_access.h"
#include "boards/session.h"
#include "platform/serial.h"
#include "platform/time.h"

namespace boards {
namespace {

constexpr int kReadMs = 10;
constexpr std::int64_t kOutputPollMs = 10;  // only a counter is read when nothing changed

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Does what the session asks, in order; false when the port is to be closed
// (asked so, or a write failed).
bool Perform(BoardSession* s, platform::SerialPort* port, SessionSteps* steps) {
    SessionSteps refusals;
    bool open = true;
    for (const SessionStep& step : *steps) {
        const char* refusal = nullptr;
        switch (step.kind) {
            case SessionStep::Kind::Write:
                open = platform::WriteSerial(port, step.text.data(), step.text.size());
                break;
            case SessionStep::Kind::Log: WriteLog((step.text + "\n").c_str()); break;
            case SessionStep::Kind::Close: open = false; break;
            case SessionStep::Kind::Press: refusal = Press(s->map->inputs[step.input].target, step.on); break;
            case SessionStep::Kind::Switch: refusal = SetSwitch(s->map->inputs[step.input].target, step.on); break;
            case SessionStep::Kind::Step:
                refusal = Step(s->map->inputs[step.input].target.id, step.detents, step.on);
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

// What the panels show now, for every output: the session writes what changed.
void FeedPanels(BoardSession* s, SessionSteps* steps) {
    for (const OutputMap& out : s->map->outputs) {
        if (out.display) {
            std::string text;
            if (ShownText(out.controlId, &text)) SessionPanelText(s, out.controlId, text, steps);
        } else {
            bool checked = false;
            if (ShownCheck(out.controlId, &checked)) SessionPanelCheck(s, out.controlId, checked, steps);
        }
    }
}

// Until the port fails, the session gives the board up or a stop is requested.
void RunSession(BoardSession* s, platform::SerialPort* port, const platform::StopSignal& stop) {
    char buffer[256];
    SessionSteps steps;
    std::uint64_t feedVersion = 0;
    std::int64_t polledMs = 0;
    while (!stop.Requested()) {
        const long n = platform::ReadSerial(port, buffer, sizeof buffer, kReadMs);
        if (n < 0) return;
        const std::int64_t now = NowMs();
        SessionBytes(s, std::string_view(buffer, static_cast<std::size_t>(n)), now, &steps);
        SessionTick(s, now, &steps);
        if (now - polledMs >= kOutputPollMs) {
            polledMs = now;
            if (PanelFeedVersion() != feedVersion) {
                feedVersion = PanelFeedVersion();
                FeedPanels(s, &steps);
            }
        }
        if (!Perform(s, port, &steps)) return;
    }
}

void RunBoard(const BoardMap& map, platform::StopSignal& stop) {
    BoardSession s;
    SessionInit(&s, &map);
    SessionSteps steps;
    do {
        platform::SerialPort port{};
        const platform::SerialOpen opened = platform::OpenSerial(map.port.c_str(), kBaud, &port);
        if (opened != platform::SerialOpen::Ok) {
            SessionOpenFailed(&s, opened, &steps);
            Perform(&s, &port, &steps);
            continue;
        }
        SessionOpened(&s, NowMs());
        RunSession(&s, &port, stop);
        platform::CloseSerial(&port);
        if (stop.Requested()) return;
        SessionLost(&s, &steps);
        Perform(&s, &port, &steps);
    } while (stop.Sleep(static_cast<int>(kRetryMs)));
}

}  // namespace

void StartBoards(ThreadOwner& threads) {
    if (boardMaps.empty()) return;
    StartPanelFeed();
    for (const BoardMap& map : boardMaps)
        threads.Start([map](platform::StopSignal& stop) { RunBoard(map, stop); });
}

}  // namespace boards
