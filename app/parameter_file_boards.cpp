#include "app/parameter_file_boards.h"

#include <cstring>
#include <string>
#include <vector>

#include "boards/line.h"
#include "boards/mapping.h"
#include "protocol/board_rules.h"

namespace {


using boards::BoardMap;
using boards::InputKind;
using boards::TargetUse;

struct Keyword {
    const char* name;
    int values;  // how many values follow
    const char* form;
};
constexpr Keyword kKeywords[] = {
    {"board", 2, "board NAME PORT"},
    {"button", 3, "button BOARD PIN TARGET"},
    {"switch", 3, "switch BOARD PIN TARGET"},
    {"encoder", 4, "encoder BOARD PINA PINB TARGET"},
    {"led", 3, "led BOARD PIN TARGET"},
    {"display", 5, "display BOARD DIN CLK CS TARGET"},
};

const Keyword* Find(const char* keyword) {
    for (const Keyword& k : kKeywords)
        if (std::strcmp(keyword, k.name) == 0) return &k;
    return nullptr;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

// A pin some board can use (0 and 1 are its serial line); the board itself
// refuses one beyond its own MCU's pins.
bool ParsePin(const std::string& text, int* pin) {
    if (text.empty() || text.size() > 2) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (!board_rules::PinInRange(value, board_rules::kLargest)) return false;
    *pin = value;
    return true;
}

BoardMap* FindBoard(std::vector<BoardMap>& maps, const std::string& name) {
    for (BoardMap& b : maps)
        if (b.name == name) return &b;
    return nullptr;
}

bool PinUsed(const BoardMap& board, int pin) {
    for (const boards::InputMap& in : board.inputs)
        if (in.pin == pin || (in.kind == InputKind::Encoder && in.pinB == pin)) return true;
    for (const boards::OutputMap& out : board.outputs)
        if (out.pin == pin || (out.display && (out.clk == pin || out.cs == pin))) return true;
    return false;
}

// Checks and applies the values; the reason in `why` when they do not fit.
bool Apply(const Keyword& k, const std::vector<std::string>& v, const model::Catalog* catalog,
           std::vector<BoardMap>& maps, std::string* why) {
    if (std::strcmp(k.name, "board") == 0) {
        const std::string name = Lower(v[0]);
        if (!boards::ValidBoardName(name)) {
            *why = "a board name is 1 to 16 of a-z, 0-9, _ and -";
        } else if (FindBoard(maps, name) != nullptr) {
            *why = "board " + name + " is named twice";
        } else if (maps.size() >= static_cast<std::size_t>(boards::kBoardsMax)) {
            *why = "at most " + std::to_string(boards::kBoardsMax) + " boards";
        } else {
            for (const BoardMap& b : maps)
                if (b.port == v[1]) *why = "port " + v[1] + " is given to two boards";
            if (!why->empty()) return false;
            maps.push_back(BoardMap{name, v[1], {}, {}});
            return true;
        }
        return false;
    }
    BoardMap* board = FindBoard(maps, Lower(v[0]));
    if (board == nullptr) {
        *why = "no board " + Lower(v[0]) + " named before";
        return false;
    }
    const int pinCount = k.values - 2;
    int pins[3] = {0, 0, 0};
    for (int i = 0; i < pinCount; ++i) {
        if (!ParsePin(v[1 + i], &pins[i])) {
            *why = "a pin is " + std::to_string(board_rules::kPinFirst) + " to " +
                   std::to_string(board_rules::kLargest.pinLimit - 1);
            return false;
        }
        for (int j = 0; j < i; ++j)
            if (pins[j] == pins[i]) *why = "pin " + v[1 + i] + " given twice";
        if (PinUsed(*board, pins[i])) *why = "pin " + v[1 + i] + " of board " + board->name + " is already used";
        if (!why->empty()) return false;
    }
    const std::string targetName = Lower(v[k.values - 1]);
    const bool isInput = k.name[0] == 'b' || k.name[0] == 's' || k.name[0] == 'e';
    TargetUse use = TargetUse::Click;
    if (std::strcmp(k.name, "switch") == 0 || std::strcmp(k.name, "led") == 0) use = TargetUse::CheckBox;
    if (std::strcmp(k.name, "encoder") == 0) use = TargetUse::UpDown;
    if (std::strcmp(k.name, "display") == 0) use = TargetUse::ValueField;
    boards::Target target;
    if (!boards::ResolveTarget(catalog, targetName, use, &target, why)) return false;
    if (isInput) {
        const InputKind kind = k.name[0] == 'b' ? InputKind::Button
                               : k.name[0] == 's' ? InputKind::Switch
                                                  : InputKind::Encoder;
        board->inputs.push_back(boards::InputMap{kind, pins[0], pins[1], target});
        return true;
    }
    boards::OutputMap out;
    out.pin = pins[0];
    out.controlId = target.id;
    if (use == TargetUse::ValueField) {
        int slot = 0;
        for (const boards::OutputMap& o : board->outputs) slot += o.display ? 1 : 0;
        if (slot >= boards::kDisplaysMax) {
            *why = "at most " + std::to_string(boards::kDisplaysMax) + " displays on a board";
            return false;
        }
        out.display = true;
        out.clk = pins[1];
        out.cs = pins[2];
        out.slot = slot;
    }
    board->outputs.push_back(out);
    return true;
}

}  // namespace

bool IsBoardKeyword(const char* keyword) { return Find(keyword) != nullptr; }

int BoardKeywordValues(const char* keyword) { return Find(keyword)->values; }

bool ApplyBoardLine(const char* keyword, const std::vector<std::string>& values, const model::Catalog* catalog,
                    std::vector<boards::BoardMap>* maps, std::string* message) {
    const Keyword& k = *Find(keyword);
    std::string written = k.name;
    for (const std::string& v : values) written += " " + v;
    std::string why;
    if (static_cast<int>(values.size()) < k.values)
        why = "expected " + std::string(k.form);
    else if (Apply(k, values, catalog, *maps, &why))
        return true;
    *message = "Cockpit board line in parameter file not understood: " + written + " (" + why + ")";
    return false;
}
