// The board keywords of the parameter file: a sound mapping becomes the
// boards' configuration; each malformed line is refused with a box and a log
// line naming it, and stops the reading.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/portable.h"

#include "app/parameter_file.h"
#include "app/parameter_file_boards.h"
#include "base/log.h"
#include "boards/mapping.h"
#include "model/panel_model.h"
#include "resources/dialog_script.h"

namespace {

std::string boxes;

platform::Frame* NoStatusWindow(platform::AppInstance, bool) { return nullptr; }
void RecordBox(platform::Frame*, const char* text, const char* title) {
    boxes += std::string(title) + ": " + text + "\n";
}

// The mapping names controls of the catalog, which start-up builds first.
const model::Catalog* BuiltCatalog() {
    static model::Catalog catalog;
    static const bool built = [] {
        std::string error;
        return model::BuildCatalog(PanelDialogScript(), nullptr, 0, 0, &catalog, &error);
    }();
    return built ? &catalog : nullptr;
}
struct Read {
    int result;
    std::string log;
    std::vector<boards::BoardMap> boards;
};

Read ReadFile(const std::string& text) {
    const std::filesystem::path dir = testsupport::MakeTempDir("orv_boards_");
    const std::string cfg = (dir / "orvvarnoth.cfg").string();
    const std::string log = (dir / "ORVVarnoth.log").string();
    std::ofstream(cfg, std::ios::binary) << text;
    boxes.clear();
    StartLog(log.c_str());
    Read read{0, "", {}};
    read.result = ReadParameterFile(cfg.c_str(), ParameterFileUi{BuiltCatalog(), NoStatusWindow, RecordBox}, &read.boards);
    {
        std::ifstream in(log);  // closed before the folder goes: Windows keeps open files
        std::string line;
        std::getline(in, line);  // "Log started."
        while (std::getline(in, line)) read.log += line.substr(14) + "\n";
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return read;
}

const bool catalogBuilt = BuiltCatalog() != nullptr;

TEST(BoardKeywords, MappingBecomesEachBoardsConfiguration) {
    ASSERT_TRUE(catalogBuilt);
    const Read read = ReadFile(
        "board mcp /dev/serial/by-id/usb-Arduino_Nano-if00\n"
        "Board OVERHEAD COM3\n"
        "button mcp 2 heading_hold\n"
        "switch mcp 3 Autopilot\n"
        "encoder mcp 4 5 heading_fine\n"
        "led mcp 6 autopilot\n"
        "display mcp 10 11 12 set_altitude\n"
        "display mcp 7 8 9 set_heading\n"
        "button overhead 14 key_f5\n"
        "button overhead 15 key_up\n");
    ASSERT_EQ(read.result, 0) << read.log;
    EXPECT_EQ(boxes, "");
    ASSERT_EQ(read.boards.size(), 2u);
    const boards::BoardMap& mcp = read.boards[0];
    EXPECT_EQ(mcp.name, "mcp");
    EXPECT_EQ(mcp.port, "/dev/serial/by-id/usb-Arduino_Nano-if00");  // case kept
    EXPECT_EQ(read.boards[1].name, "overhead");
    EXPECT_EQ(read.boards[1].port, "COM3");
    EXPECT_EQ(boards::ConfigurationLines(mcp),
              (std::vector<std::string>{"CLEAR", "BTN 2", "SW 3", "ENC 4 5", "LED 6", "DISP 0 10 11 12",
                                        "DISP 1 7 8 9", "DONE"}));
    EXPECT_EQ(boards::ConfigurationLines(read.boards[1]),
              (std::vector<std::string>{"CLEAR", "BTN 14", "BTN 15", "DONE"}));
    // Names resolve to the controls and keys they name, of the kind used.
    const auto& in = mcp.inputs;
    EXPECT_EQ(in[1].target.name, "autopilot");
    EXPECT_TRUE(in[1].target.checkBox);
    EXPECT_EQ(in[1].target.id, mcp.outputs[0].controlId);
    EXPECT_FALSE(in[2].target.checkBox);
    EXPECT_NE(mcp.outputs[1].controlId, mcp.outputs[2].controlId);
    const auto& keys = read.boards[1].inputs;
    EXPECT_EQ(keys[0].target.kind, boards::Target::Kind::Key);
    EXPECT_EQ(keys[0].target.id, 112 + 4);  // the F5 virtual key
    EXPECT_EQ(keys[1].target.id, 38);       // the up arrow
}

TEST(BoardKeywords, MalformedLinesAreShownLoggedAndStopTheReading) {
    const std::string board = "board mcp com3\n";
    const struct {
        std::string text;
        const char* why;
    } cases[] = {
        {"board mcp", "expected board NAME PORT"},
        {"board m.c com3", "a board name is 1 to 16"},
        {"board abcdefghijklmnopq com3", "a board name is 1 to 16"},
        {"board - com3", "a board name is 1 to 16"},  // what an unnamed board says; its firmware refuses it too
        {board + "board mcp com4", "board mcp is named twice"},
        {board + "board fo com3", "port com3 is given to two boards"},
        {"button mcp 2 autopilot", "no board mcp named before"},
        {board + "button mcp 1 autopilot", "a pin is 2 to 69"},
        {board + "button mcp 70 autopilot", "a pin is 2 to 69"},
        {board + "button mcp x2 autopilot", "a pin is 2 to 69"},
        {board + "button mcp 2 autopilot\nled mcp 2 autopilot", "pin 2 of board mcp is already used"},
        {board + "encoder mcp 4 4 heading_fine", "pin 4 given twice"},
        {board + "display mcp 7 8 7 set_altitude", "pin 7 given twice"},
        {board + "encoder mcp 4 5 heading_fine\nbutton mcp 5 autopilot", "already used"},
        {board + "button mcp 2 set_altitude", "set_altitude is not a check box, push button"},
        {board + "switch mcp 2 heading_fine", "heading_fine is not a check box"},
        {board + "switch mcp 2 key_a", "key_a is not a check box"},
        {board + "encoder mcp 2 3 set_heading", "set_heading is not an up-down control"},
        {board + "led mcp 2 set_heading", "set_heading is not a check box"},
        {board + "display mcp 2 3 4 autopilot", "autopilot is not a value field"},
        {board + "button mcp 2 1018", "no panel control or key action is named 1018"},
        {board + "button mcp 2 idc_autopilot", "no panel control or key action is named idc_autopilot"},
        {board + "button mcp 2 key_f13", "no panel control or key action is named key_f13"},
        {board + "display mcp 2 3 4", "expected display BOARD DIN CLK CS TARGET"},
        {board + "display mcp 2 3 4 set_altitude\ndisplay mcp 5 6 8 set_speed\ndisplay mcp 9 10 11 set_heading\n"
                 "display mcp 12 13 14 altitude\ndisplay mcp 15 16 17 speed",
         "at most 4 displays"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        // Values are tokens, as everywhere in the file: a short line takes
        // the next line's words, so a missing value shows only at the end.
        const bool shortLine = std::string(c.why).rfind("expected", 0) == 0;
        const Read read = ReadFile(c.text + (shortLine ? "" : "\nwin one\n"));
        EXPECT_EQ(read.result, -1);
        EXPECT_NE(boxes.find("Parameter Error: Cockpit board line in parameter file not understood: "),
                  std::string::npos) << boxes;
        EXPECT_NE(boxes.find(c.why), std::string::npos) << boxes;
        // The log holds the box's text as its one line.
        EXPECT_EQ("Parameter Error: " + read.log, boxes);
        EXPECT_EQ(read.log.find("win one"), std::string::npos);  // nothing read after it
    }
}

}  // namespace
