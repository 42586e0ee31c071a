#include "boards/mapping.h"

namespace boards {


std::vector<std::string> ConfigurationLines(const BoardMap& board) {
    std::vector<std::string> lines{"CLEAR"};
    for (const InputMap& in : board.inputs) {
        switch (in.kind) {
            case InputKind::Button: lines.push_back("BTN " + std::to_string(in.pin)); break;
            case InputKind::Switch: lines.push_back("SW " + std::to_string(in.pin)); break;
            case InputKind::Encoder:
                lines.push_back("ENC " + std::to_string(in.pin) + " " + std::to_string(in.pinB));
                break;
        }
    }
    for (const OutputMap& out : board.outputs) {
        if (out.display)
            lines.push_back("DISP " + std::to_string(out.slot) + " " + std::to_string(out.pin) + " " +
                            std::to_string(out.clk) + " " + std::to_string(out.cs));
        else
            lines.push_back("LED " + std::to_string(out.pin));
    }
    lines.push_back("DONE");
    return lines;
}

}  // namespace boards
