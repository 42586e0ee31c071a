#include "boards/learn_run.h"

#include <algorithm>
#include <string_view>

#include "boards/probe.h"
#include "boards/session.h"

namespace boards {
namespace {

struct Learner {
    BoardRun* run;
    LearnControl* control;
    BoardSession s;
    model::LearnView published;
};

// What Learn shows, to the desk when it changed. Nothing until Learn has
// something to say: the page keeps its view until then.
void PublishLearn(Learner* l) {
    const model::LearnView view = SessionLearnView(&l->s);
    if (view == l->published || view.status == model::LearnStatus::None) return;
    l->published = view;
    if (l->run->desk == nullptr) return;
    l->run->desk->Publish([&view](model::SetupSnapshot& snapshot) { snapshot.learn = view; });
}

void TakeIdentify(Learner* l, std::int64_t now, SessionSteps* steps) {
    std::lock_guard<std::mutex> lock(l->control->mutex);
    if (!l->control->identifyWanted) return;
    l->control->identifyWanted = false;
    SessionIdentify(&l->s, l->control->identify, now, steps);
}

int WaitMs(const Learner& l, std::int64_t now) {
    const std::int64_t due = SessionNextDue(&l.s);
    // Without a wake signal, Identify is looked for this often.
    const std::int64_t most = l.run->woken ? kPingMs : 50;
    return static_cast<int>(std::clamp<std::int64_t>(due < 0 ? most : due - now + 1, 0, most));
}

// The open port until Learn ends, the port fails or the stop.
void Watch(Learner* l, platform::SerialPort* port, const platform::StopSignal& stop, SessionSteps* steps) {
    BoardSession* s = &l->s;
    char buffer[128];
    while (!stop.Requested() && s->mode == SessionMode::Learn) {
        const long n = platform::ReadSerial(port, buffer, sizeof buffer, WaitMs(*l, SteadyMs()),
                                            l->run->woken ? &l->run->wake : nullptr);
        const std::int64_t now = SteadyMs();
        if (n < 0) {
            SessionLost(s, steps);
        } else {
            SessionBytes(s, std::string_view(buffer, static_cast<std::size_t>(n)), now, steps);
            TakeIdentify(l, now, steps);
            SessionTick(s, now, steps);
        }
        // Every report at once: a press shows on the page without delay.
        if (!Perform(l->run, s, port, steps)) SessionLost(s, steps);
        Perform(l->run, s, port, steps);
        PublishLearn(l);
    }
}

}  // namespace

void RunLearn(BoardRun* run, LearnControl* control, platform::StopSignal& stop) {
    Learner l{run, control, {}, {}};
    BoardSession& s = l.s;
    SessionInit(&s, &run->map);
    s.askStats = true;
    SessionSteps steps;
    SessionLearn(&s, &steps);
    // The page keeps the board's version and counts while it is in Learn.
    model::BoardView view = run->published;
    view.state = s.state;
    PublishBoard(run, view);
    platform::SerialPort port{};
    Perform(run, &s, &port, &steps);
    const platform::SerialOpen opened = platform::OpenSerial(run->map.port.c_str(), kBaud, &port);
    if (opened != platform::SerialOpen::Ok) {
        SessionOpenFailed(&s, opened, &steps);
    } else {
        SessionOpened(&s, SteadyMs());
        Watch(&l, &port, stop, &steps);
        platform::CloseSerial(&port);
    }
    // The page's Done (the stop): the host gives the board a new session.
    SessionLearnDone(&s, &steps);
    Perform(run, &s, &port, &steps);
    if (stop.Requested()) return;
    PublishLearn(&l);
    // Lost, or it never began: the normal session takes the board again.
    RunBoard(run, &s, stop);
}

}  // namespace boards
