// The board session without a port: each case is a script of events (bytes
// from the board, clock ticks, panel changes, the port lost) and exactly
// what each must make the driver do.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "boards/session.h"

namespace {

using boards::SessionStep;

boards::BoardMap TestBoard() {
    boards::BoardMap map{"mcp", "ttyB", {}, {}};
    auto input = [&](boards::InputKind kind, int pin, int pinB, const char* name) {
        boards::InputMap in{kind, pin, pinB, {}};
        in.target.name = name;
        map.inputs.push_back(in);
    };
    input(boards::InputKind::Button, 2, 0, "autopilot");
    input(boards::InputKind::Switch, 3, 0, "ap_master");
    input(boards::InputKind::Encoder, 4, 5, "heading_fine");
    boards::OutputMap led;
    led.pin = 6;
    led.controlId = 100;
    boards::OutputMap display;
    display.display = true;
    display.pin = 10, display.clk = 11, display.cs = 12, display.controlId = 200;
    map.outputs = {led, display};
    return map;
}

// One line a step; the board's name and port shown as "@", the whole
// configuration as CONFIG.
std::string Render(const boards::SessionSteps& steps) {
    std::string all;
    for (const SessionStep& s : steps) {
        std::string text;
        switch (s.kind) {
            case SessionStep::Kind::Write: {
                if (s.text == "\n") {
                    text = "> \\n";
                    break;
                }
                const std::string body = s.text.substr(0, s.text.size() - 4);
                EXPECT_EQ(s.text, boards::FormatLine(body));
                text = "> " + body;
                break;
            }
            case SessionStep::Kind::Log:
                text = "log: " + s.text;
                if (text.rfind("log: Board mcp on ttyB", 0) == 0) text.replace(5, 17, "@");
                break;
            case SessionStep::Kind::Press: text = "press " + std::to_string(s.input) + (s.on ? " down" : " up"); break;
            case SessionStep::Kind::Switch: text = "switch " + std::to_string(s.input) + (s.on ? " on" : " off"); break;
            case SessionStep::Kind::Step:
                text = "step " + std::to_string(s.input) + (s.detents > 0 ? " +" : " ") + std::to_string(s.detents) +
                       (s.on ? " fast" : "");
                break;
            case SessionStep::Kind::Close: text = "close"; break;
            case SessionStep::Kind::Snapshot: text = "snapshot"; break;
        }
        all += (all.empty() ? "" : " | ") + text;
    }
    const std::string config = "> CLEAR | > BTN 2 | > SW 3 | > ENC 4 5 | > LED 6 | > DISP 0 10 11 12 | > DONE";
    for (std::size_t at; (at = all.find(config)) != std::string::npos;) all.replace(at, config.size(), "CONFIG");
    return all;
}

// What a set-up task came to; a Learn status by its place in the enum.
std::string Result(const boards::BoardSession& s, const std::string& what) {
    if (what == "found")
        return s.found.state == model::FoundState::Board ? "board " + s.found.name + " " + std::to_string(s.found.version)
                                                         : "state " + std::to_string(static_cast<int>(s.found.state));
    if (what == "named") return s.named ? "named" : s.why;
    const model::LearnView v = boards::SessionLearnView(&s);
    std::string text = "status " + std::to_string(static_cast<int>(v.status)) + " " + v.detail;
    for (const int pin : v.unwatched) text += " unwatched " + std::to_string(pin);
    for (const model::LearnPin& p : v.pins) text += " pin " + std::to_string(p.pin) + " offer " + std::to_string(static_cast<int>(p.offer));
    return text + (v.ended ? " ended" : "");
}

// Answers each paced Learn line as a board would (ERR first for those in
// `refuse`, ",BODY,"), checking that only one is ever in the board's buffer;
// what the last answer wrote.
std::string Pace(boards::BoardSession* s, const std::string& refuse, std::int64_t now) {
    boards::SessionSteps out;
    for (int guard = 0; s->pacer.waiting && guard < 100; ++guard) {
        const std::string& sent = s->pacer.lines[s->pacer.next - 1];
        std::string reply = refuse.find("," + sent + ",") != std::string::npos ? boards::FormatLine("ERR no") : "";
        reply += boards::FormatLine("PONG " + std::to_string(s->pacer.ping));
        out.clear();
        boards::SessionBytes(s, reply, now, &out);
        if (s->pacer.waiting) {
            EXPECT_TRUE(out.size() == 2 && out[1].text.rfind("PING", 0) == 0) << Render(out);
        }
    }
    return Render(out);
}

// "MS open", "MS tick", "MS < LINE / LINE" (checksummed, then a tick),
// "probe", "name NAME", "learn", "MS identify PIN", "done", "MS pace
// REFUSED,LINES" and what they came to: "found", "named", "learn?",
// "MS raw BYTES" (then a tick), "lost", "openfail", "check ID 0|1",
// "text ID TEXT", "refused INPUT WHY", "due" (when the next tick has
// something to do). "quiet check|text ..." changes only what the panels
// show, as before the session began; a snapshot step is answered from it.
std::string Perform(boards::BoardSession* s, std::map<int, platform::ControlState>* panels, std::string event) {
    boards::SessionSteps out;
    const bool quiet = event.rfind("quiet ", 0) == 0;
    if (quiet) event.erase(0, 6);
    std::int64_t now = 0;
    if (event[0] >= '0' && event[0] <= '9') {
        now = std::stoll(event);
        event.erase(0, event.find(' ') + 1);
    }
    const std::string verb = event.substr(0, event.find(' '));
    const std::string arg = event.size() > verb.size() ? event.substr(verb.size() + 1) : "";
    if (verb == "due") return "due " + std::to_string(boards::SessionNextDue(s));
    if (verb == "pace") return Pace(s, "," + arg + ",", now);
    if (verb == "found" || verb == "named" || verb == "learn?") return Result(*s, verb);
    if (verb == "probe") boards::SessionProbe(s);
    if (verb == "name") boards::SessionName(s, arg);
    if (verb == "learn") boards::SessionLearn(s, &out);
    if (verb == "done") boards::SessionLearnDone(s, &out);
    if (verb == "identify") boards::SessionIdentify(s, {std::stoi(arg)}, now, &out);
    if (verb == "open") boards::SessionOpened(s, now);
    if (verb == "openfail") boards::SessionOpenFailed(s, platform::SerialOpen::CannotOpen, &out);
    if (verb == "inuse") boards::SessionOpenFailed(s, platform::SerialOpen::InUse, &out);
    if (verb == "lost") boards::SessionLost(s, &out);
    if (verb == "check" || verb == "text") {
        platform::ControlState& state = (*panels)[std::stoi(arg)];
        state.id = std::stoi(arg);
        if (verb == "check") state.checked = arg.back() == '1';
        if (verb == "text") state.text = arg.substr(arg.find(' ') + 1);
        if (quiet) return "";
    }
    if (verb == "check") boards::SessionPanelCheck(s, std::stoi(arg), arg.back() == '1', &out);
    if (verb == "text") boards::SessionPanelText(s, std::stoi(arg), arg.substr(arg.find(' ') + 1), &out);
    if (verb == "refused") boards::SessionRefused(s, std::stoul(arg), arg.substr(2).c_str(), &out);
    if (verb == "<" || verb == "raw") {
        std::string bytes;
        for (std::size_t from = 0; verb == "<" && from < arg.size();) {
            const std::size_t to = arg.find(" / ", from);
            bytes += boards::FormatLine(arg.substr(from, to == std::string::npos ? to : to - from));
            from = to == std::string::npos ? arg.size() : to + 3;
        }
        if (verb == "raw") bytes = arg;
        boards::SessionBytes(s, bytes, now, &out);
    }
    if (verb == "tick" || verb == "<" || verb == "raw") boards::SessionTick(s, now, &out);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i].kind != SessionStep::Kind::Snapshot) continue;
        std::vector<platform::ControlState> states;
        for (const auto& [id, state] : *panels) states.push_back(state);
        boards::SessionSnapshot(s, states, &out);
    }
    return Render(out);
}

struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> script;  // event, what it does
};

const std::vector<std::pair<std::string, std::string>> kReady = {
    {"0 open", ""},
    {"100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"},
    {"200 < READY 5", "log: @ ready, 5 inputs and outputs | snapshot | > L 6 0 | > T 0 "},
};

std::vector<std::pair<std::string, std::string>> Ready(std::vector<std::pair<std::string, std::string>> more) {
    more.insert(more.begin(), kReady.begin(), kReady.end());
    return more;
}

void RunScripts(const std::vector<Case>& cases);

TEST(BoardSession, Scripts) {
    RunScripts({
        {"hello asked after the boot loader, then again; configured on it",
         {{"due", "due -1"}, {"0 open", ""}, {"due", "due 2000"}, {"1999 tick", ""}, {"2000 tick", "> HELLO"},
          {"due", "due 4500"}, {"4499 tick", ""}, {"4500 tick", "> HELLO"}, {"due", "due 5000"},
          {"5000 tick", "log: @: no hello within 5 s"}, {"due", "due 7000"}, {"5001 tick", ""},
          {"5100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"}, {"due", "due 8100"}, {"7000 tick", ""},
          {"7100 < READY 5 / U 3", "log: @ ready, 5 inputs and outputs | snapshot | switch 1 off | > L 6 0 | > T 0 "}}},
        {"another board on the port is never driven",
         {{"0 open", ""}, {"100 < HELLO ORVB 1 fmc", "log: Board on ttyB is named fmc, not mcp: not used"},
          {"200 < HELLO ORVB 1 mcp", ""}, {"300 < READY 5 / D 2", ""}, {"9000 tick", ""}}},
        {"an unnamed board", {{"0 open", ""}, {"100 < HELLO ORVB 1 -", "log: Board on ttyB is unnamed, not mcp: not used"}}},
        {"another protocol version",
         {{"0 open", ""}, {"100 < HELLO ORVB 2 mcp", "log: @ speaks protocol version 2, not 1: not used"},
          {"9000 tick", ""}}},
        {"no READY: the configuration again, logged once; ERR answers logged",
         {{"0 open", ""}, {"100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"}, {"3099 tick", ""},
          {"3100 tick", "log: @: no READY to its configuration; sending it again | CONFIG"}, {"6100 tick", "CONFIG"},
          {"6200 < ERR pin", "log: @ refused a configuration line: pin"}, {"6300 < D 2", ""},
          {"6400 < READY 4", "log: @ ready, 4 inputs and outputs | snapshot | > L 6 0 | > T 0 "}, {"20000 < READY 4", ""}}},
        {"a quiet board is pinged; 3.5 s of silence closes the port",
         Ready({{"due", "due 1200"}, {"1199 tick", ""}, {"1200 tick", "> PING 0"}, {"due", "due 2200"},
                {"1700 tick", ""}, {"2200 tick", "> PING 1"}, {"2300 < PONG 1", ""}, {"due", "due 3300"}, {"3299 tick", ""}, {"3300 tick", "> PING 2"}, {"5300 tick", "> PING 3"},
                {"due", "due 5800"}, {"5799 tick", ""}, {"5800 tick", "close"},
                {"lost", "log: @ lost; retrying every 2 s"}, {"due", "due -1"},
                {"9000 tick", ""}})},
        {"lost and back: configured again, outputs resent, switches applied",
         Ready({{"text 200 AP 12000", "> T 0 AP 12000"}, {"check 100 1", "> L 6 1"}, {"check 100 1", ""},
                {"lost", "log: @ lost; retrying every 2 s"}, {"openfail", ""}, {"text 200 AP 13000", ""},
                {"9000 open", ""}, {"11000 tick", "> HELLO"}, {"11100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"},
                {"11200 < READY 5 / D 3", "log: @ ready, 5 inputs and outputs | snapshot | switch 1 on | > L 6 1 | > T 0 AP 13000"}})},
        {"a board configured again by a save or after Learn shows what the panels already show",
         {{"quiet check 100 1", ""}, {"quiet text 200 AP 12000", ""}, {"0 open", ""},
          {"100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"},
          {"200 < READY 5", "log: @ ready, 5 inputs and outputs | snapshot | > L 6 1 | > T 0 AP 12000"},
          {"check 100 1", ""}, {"text 200 AP 12000", ""}, {"check 100 0", "> L 6 0"}}},
        {"a board that restarts while running is configured again",
         Ready({{"check 100 1", "> L 6 1"}, {"text 200 1.2.3", "> T 0 1.2.3"},
                {"900 < HELLO ORVB 1 mcp", "log: @ restarted; configuring it again | CONFIG"}, {"950 < D 2", ""},
                {"5000 tick", "log: @: no READY to its configuration; sending it again | CONFIG"},
                {"5100 < READY 5", "log: @ ready, 5 inputs and outputs | snapshot | > L 6 1 | > T 0 1.2.3"}})},
        {"buttons, switches and encoders both ways; fast turning",
         Ready({{"300 < D 2 / U 2", "press 0 down | press 0 up"}, {"310 < D 3 / U 3", "switch 1 on | switch 1 off"},
                {"1000 < E 4 1", "step 2 +1"}, {"1400 < E 4 -1", "step 2 -1"}, {"2000 < E 4 3", "step 2 +3 fast"},
                {"2070 < E 4 -2", "step 2 -2 fast"}, {"2140 < E 4 -1", "step 2 -1 fast"}, {"3000 < E 4 1", "step 2 +1"},
                {"3010 < D 9 / E 2 1 / D 4 / E 5 1", ""},
                {"refused 0 no host", "log: @: autopilot refused the board's command: no host"},
                {"refused 0 no host", ""}})},
        {"bad lines are counted and logged at most every 10 s; empty lines are nothing",
         {{"openfail", "log: @: cannot open the port; trying every 2 s"}, {"openfail", ""},
          {"inuse", "log: @: the port is in use by another program; trying every 2 s"}, {"inuse", ""}, {"0 open", ""},
          {"50 < HELLO ORVB 1 fmc", "log: Board on ttyB is named fmc, not mcp: not used"}, {"100 raw \n\r\n", ""}, {"200 raw D 2*00\n", "log: @: 1 malformed and 0 unknown lines ignored so far"},
          {"300 < PING 7", ""}, {"400 raw " + std::string(70, 'x') + "\n", ""},
          {"due", "due 10200"}, {"10199 tick", ""}, {"10200 tick", "log: @: 2 malformed and 1 unknown lines ignored so far"}}},
    });
}

const std::string kLearnEnds = "log: Board mcp: Learn ends | close";

TEST(BoardSession, SetupScripts) {
    RunScripts({
        {"probing: asked after the boot loader, an empty line first, every second; the first hello answers",
         {{"probe", ""}, {"0 open", ""}, {"due", "due 2000"}, {"2000 tick", "> \\n | > HELLO"}, {"2999 tick", ""},
          {"3000 tick", "> \\n | > HELLO"}, {"3100 < D 2 / HELLO ORVB 2 fmc", "close"}, {"found", "board fmc 2"}}},
        {"probing: no hello within 4 s",
         {{"probe", ""}, {"0 open", ""}, {"3000 tick", "> \\n | > HELLO"}, {"3999 tick", ""}, {"4000 tick", "close"}, {"found", "state 0"}}},
        {"naming: NAME on the hello, confirmed by NAMED",
         {{"name left", ""}, {"0 open", ""}, {"100 < HELLO ORVB 1 -", "> NAME left"}, {"200 < NAMED left", "close"},
          {"named", "named"}}},
        {"naming: the board stores another name",
         {{"name left", ""}, {"0 open", ""}, {"100 < HELLO ORVB 1 -", "> NAME left"}, {"200 < NAMED lef", "close"},
          {"named", "the board stored \"lef\""}}},
        {"naming: unconfirmed within a second",
         {{"name left", ""}, {"0 open", ""}, {"100 < HELLO ORVB 1 -", "> NAME left"}, {"1099 tick", ""},
          {"1100 tick", "close"}, {"named", "the board did not confirm the name"}}},
        {"naming: another protocol version is not named",
         {{"name left", ""}, {"0 open", ""}, {"100 < HELLO ORVB 2 x", "close"},
          {"named", "the board speaks protocol version 2"}}},
        {"Learn on another board ends it; the board's session has the port again",
         {{"learn", "log: Board mcp: Learn begins"}, {"0 open", ""}, {"100 < HELLO ORVB 1 fmc", kLearnEnds},
          {"learn?", "status 5 fmc ended"}, {"1000 open", ""}, {"1100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"}}},
        {"Learn: another protocol version, and no hello at all",
         {{"learn", "log: Board mcp: Learn begins"}, {"0 open", ""}, {"100 < HELLO ORVB 2 mcp", kLearnEnds},
          {"learn", "log: Board mcp: Learn begins"}, {"0 open", ""}, {"3000 tick", "> \\n | > HELLO"}, {"3999 tick", ""}, {"4000 tick", kLearnEnds},
          {"learn?", "status 4  ended"}}},
        {"Learn: a configuration line unanswered for a second ends it",
         {{"learn", "log: Board mcp: Learn begins"}, {"0 open", ""}, {"100 < HELLO ORVB 1 mcp", "> CLEAR | > PING 0"},
          {"150 < PONG 0", "> BTN 2 | > PING 1"}, {"1149 tick", ""}, {"1150 tick", kLearnEnds},
          {"learn?", "status 6  ended"}}},
        {"Learn: paced, refusals listed, inputs offered; pinged, and silence gives the board back",
         {{"learn", "log: Board mcp: Learn begins"}, {"0 open", ""}, {"100 < HELLO ORVB 1 mcp", "> CLEAR | > PING 0"},
          {"learn?", "status 1 "}, {"200 pace BTN 20,BTN 19", "> DONE"}, {"300 < READY 21", ""},
          {"learn?", "status 2  unwatched 19"}, {"400 < D 7 / U 7", ""}, {"learn?", "status 2  unwatched 19 pin 7 offer 1"},
          {"1399 tick", ""}, {"1400 tick", "> PING 0"}, {"2400 tick", "> PING 1"}, {"3899 tick", "> PING 2"},
          {"3900 tick", kLearnEnds}, {"learn?", "status 2  unwatched 19 pin 7 offer 1 ended"},
          {"quiet check 100 1", ""}, {"5000 open", ""}, {"5100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"},
          {"5200 < READY 5", "log: @ ready, 5 inputs and outputs | snapshot | > L 6 1 | > T 0 "}}},
        {"Identify waits for the configuration; a refused LED is shown; Done gives the board back",
         {{"learn", "log: Board mcp: Learn begins"}, {"0 open", ""}, {"100 < HELLO ORVB 1 mcp", "> CLEAR | > PING 0"},
          {"150 identify 9", ""}, {"200 pace", "> DONE"}, {"300 < READY 21", "> CLEAR | > PING 0"},
          {"400 pace LED 9", "> DONE"}, {"500 < READY 21", "> L 9 1"}, {"learn?", "status 3 no"},
          {"600 < HELLO ORVB 1 mcp", "> CLEAR | > PING 0"}, {"learn?", "status 1 "},
          {"done", kLearnEnds}, {"learn?", "status 1 "}, {"1000 open", ""},
          {"1100 < HELLO ORVB 1 mcp", "log: @ connected | CONFIG"},
          {"1200 < READY 5", "log: @ ready, 5 inputs and outputs | snapshot | > L 6 0 | > T 0 "}}},
    });
}

void RunScripts(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const boards::BoardMap map = TestBoard();
        boards::BoardSession session;
        boards::SessionInit(&session, &map);
        std::map<int, platform::ControlState> panels;
        for (const auto& [event, does] : c.script) EXPECT_EQ(Perform(&session, &panels, event), does) << event;
    }
}

}  // namespace
