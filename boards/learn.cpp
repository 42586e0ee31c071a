#include "boards/learn.h"

#include <algorithm>
#include <cstdlib>

namespace boards {
namespace {

constexpr int kSmallPinLimit = board_rules::kAtmega328p.pinLimit;

bool Uses(const BoardMap& map, int pin) {
    for (const InputMap& in : map.inputs)
        if (in.pin == pin || (in.kind == InputKind::Encoder && in.pinB == pin)) return true;
    for (const OutputMap& o : map.outputs)
        if (o.pin == pin || (o.display && (o.clk == pin || o.cs == pin))) return true;
    return false;
}

// The button pin of a "BTN p" line, else 0.
int ButtonPin(const std::string& line) {
    return line.rfind("BTN ", 0) == 0 ? std::atoi(line.c_str() + 4) : 0;
}

}  // namespace

std::vector<std::string> LearnLines(const BoardMap& map, IdentifyPins* identify, std::vector<int>* free) {
    std::vector<std::string> lines = ConfigurationLines(map);
    lines.pop_back();  // DONE comes last
    free->clear();
    for (int pin = board_rules::kPinFirst; pin < board_rules::kLargest.pinLimit; ++pin)
        if (!Uses(map, pin) && std::find(identify->pins.begin(), identify->pins.end(), pin) == identify->pins.end())
            free->push_back(pin);
    // The first free pin a small board lacks goes first: refused before the
    // board's inputs run out, it tells a small board from a large one.
    const auto large = std::find_if(free->begin(), free->end(), [](int pin) { return pin >= kSmallPinLimit; });
    if (large != free->end()) std::rotate(free->begin(), large, large + 1);
    for (int pin : *free) lines.push_back("BTN " + std::to_string(pin));
    const std::vector<int>& p = identify->pins;
    // An LED or display of the map is lit as it is configured already.
    bool mapped = false;
    for (const OutputMap& o : map.outputs) {
        if (p.size() == 1 && !o.display && o.pin == p[0]) mapped = true;
        if (p.size() == 3 && o.display && o.pin == p[0] && o.clk == p[1] && o.cs == p[2]) {
            mapped = true;
            identify->slot = o.slot;
        }
    }
    if (p.size() == 1 && !mapped) lines.push_back("LED " + std::to_string(p[0]));
    if (p.size() == 3 && !mapped) {
        identify->slot = 0;
        for (const OutputMap& o : map.outputs)
            if (o.display && o.slot >= identify->slot) identify->slot = o.slot + 1;
        lines.push_back("DISP " + std::to_string(identify->slot) + " " + std::to_string(p[0]) + " " +
                        std::to_string(p[1]) + " " + std::to_string(p[2]));
    }
    lines.push_back("DONE");
    return lines;
}

std::string IdentifyLine(const IdentifyPins& identify) {
    if (identify.pins.size() == 1) return "L " + std::to_string(identify.pins[0]) + " 1";
    if (identify.pins.size() == 3) return "T " + std::to_string(identify.slot) + " " + kIdentifyText;
    return "";
}

void PacerInit(LearnPacer* p, std::vector<std::string> lines) {
    *p = LearnPacer{};
    p->lines = std::move(lines);
}

std::vector<std::string> PacerNext(LearnPacer* p) {
    std::vector<std::string> out;
    if (p->waiting) return out;
    // A small board has no pins from its limit up: not asked about them.
    while (p->next < p->lines.size() && p->smallBoard && ButtonPin(p->lines[p->next]) >= kSmallPinLimit) ++p->next;
    if (p->next >= p->lines.size()) return out;
    out.push_back(FormatLine(p->lines[p->next]));
    // DONE is answered by READY; the others by nothing unless refused.
    if (p->lines[p->next] != "DONE") {
        out.push_back(FormatLine("PING " + std::to_string(p->ping)));
        p->waiting = true;
    }
    ++p->next;
    return out;
}

void PacerHeard(LearnPacer* p, const BoardLine& line) {
    if (!p->waiting || p->next == 0) return;
    if (line.verb == Verb::Pong && line.a == p->ping) {
        p->waiting = false;
        ++p->ping;
        return;
    }
    if (line.verb != Verb::Err) return;
    const int pin = ButtonPin(p->lines[p->next - 1]);
    if (pin == 0) return;
    if (pin >= kSmallPinLimit && !p->smallBoard) {
        bool largeSeen = false;
        for (std::size_t i = 0; i + 1 < p->next; ++i) largeSeen = largeSeen || ButtonPin(p->lines[i]) >= kSmallPinLimit;
        // The first pin past the small boards' limit refused: a small board
        // (or one whose inputs the map fills: then no pin could be watched).
        if (!largeSeen) {
            p->smallBoard = true;
            return;
        }
    }
    p->refused.push_back(pin);
}

bool PacerDone(const LearnPacer* p) { return !p->waiting && p->next >= p->lines.size(); }

}  // namespace boards
