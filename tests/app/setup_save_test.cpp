// Reading the parameter text without side effects, line edits that keep
// the rest of the file byte for byte, and the checked, whole-or-nothing save.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/portable.h"

#include "app/file_changes.h"
#include "app/parameter_edit.h"
#include "app/setup_save.h"
#include "app/setup_worker.h"
#include "base/settings.h"
#include "boards/mapping.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct Folder {
    std::string dir = testsupport::MakeTempDir("orv_save_");
    std::string cfg = dir + "/orvvarnoth.cfg";
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

TEST(ParameterParse, TellsLinesAndLeavesTheProcessAlone) {
    Settings = DefaultSettings();
    ParsedParameters p;
    ParameterProblem problem;
    // A bare comment takes its value from the next line, then that line's rest.
    ASSERT_TRUE(ParseParameterText("\xEF\xBB\xBFstatusx 5\n//\nnavx 9 more\n\nautox\n 7\nboard mcp /dev/x\n"
                                   "websetup 10.0.0.0/8 debugfmc",
                                   nullptr, &p, &problem));
    EXPECT_EQ(p.settings.statusX, 5);
    EXPECT_EQ(p.settings.navX, DefaultSettings().navX);
    EXPECT_EQ(p.settings.autoX, 7);
    ASSERT_EQ(p.boards.size(), 1u);
    ASSERT_EQ(WebSetupRanges(p.settings).size(), 1u);
    EXPECT_EQ(WebSetupRanges(p.settings)[0].bits, 8);
    ASSERT_EQ(p.entries.size(), 6u);
    const int lines[][2] = {{1, 1}, {2, 3}, {5, 6}, {7, 7}, {8, 8}, {8, 8}};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(p.entries[i].line, lines[i][0]) << i;
        EXPECT_EQ(p.entries[i].endLine, lines[i][1]) << i;
    }
    EXPECT_FALSE(p.entries.back().complete);  // the last keyword found no value of its own
    // Nothing reached the process.
    EXPECT_EQ(Settings.statusX, DefaultSettings().statusX);

    const std::pair<const char*, std::pair<int, const char*>> faults[] = {
        {"statusx 1\n\n  colour red", {3, "Unknown symbol in parameter file: colour"}},
        {"// a\nwebsetup\n10.0.0.300", {2, "IPv4 address or ADDRESS/BITS expected for websetup: 10.0.0.300"}},
        {"button\nmcp 4 key_a", {1, "Cockpit board line in parameter file not understood: button mcp 4 key_a "
                                    "(no board mcp named before)"}},
    };
    for (const auto& [text, expected] : faults) {
        ParsedParameters q;
        EXPECT_FALSE(ParseParameterText(text, nullptr, &q, &problem));
        EXPECT_EQ(problem.line, expected.first) << text;
        EXPECT_EQ(problem.message, expected.second);
    }
}

EditedText Edit(const std::string& text, std::vector<LineEdit> edits) {
    EditedText out;
    EditProblem problem;
    EXPECT_TRUE(ApplyLineEdits(text, edits, nullptr, &out, &problem)) << problem.message;
    ParsedParameters parsed;
    ParameterProblem read;
    EXPECT_TRUE(ParseParameterText(out.text, nullptr, &parsed, &read)) << read.message;
    EXPECT_TRUE(CheckEditedLines(out, parsed, &problem)) << problem.message;
    return out;
}

TEST(ParameterEdit, TouchesOnlyTheEditedLines) {
    const std::string crlf = "\xEF\xBB\xBF// my  cockpit\r\nstatusx\t 10   \r\n\r\n  navy 3 // low\r\nshownav no";
    EXPECT_EQ(Edit(crlf, {{2, "statusx\t 10   ", "statusx 640"}, {0, "", "autox 1"}}).text,
              "\xEF\xBB\xBF// my  cockpit\r\nstatusx 640\r\n\r\n  navy 3 // low\r\nshownav no\r\nautox 1\r\n");
    EXPECT_EQ(Edit(crlf, {{4, "  navy 3 // low", ""}}).text,
              "\xEF\xBB\xBF// my  cockpit\r\nstatusx\t 10   \r\n\r\nshownav no");
    // A bare comment at the end would take an added line: additions go before it.
    EXPECT_EQ(Edit("navx 1\n//", {{0, "", "navy 2"}}).text, "navx 1\nnavy 2\n//");
    EXPECT_EQ(Edit("//\n", {{0, "", "navy 2"}}).text, "navy 2\n//\n");

    EditedText out;
    EditProblem problem;
    // The byte-order mark belongs to the file: line 1 is edited, removed or
    // preceded without it (the page may send it back, read as line 1's), and
    // it stays first.
    const std::string mark = "\xEF\xBB\xBF", marked = mark + "webcontrol 10.77.0.3/32\r\nweb 8089\r\n";
    EXPECT_EQ(Edit(marked, {{1, "webcontrol 10.77.0.3/32", ""}}).text, mark + "web 8089\r\n");
    EXPECT_EQ(Edit(marked, {{1, mark + "webcontrol 10.77.0.3/32", ""}}).text, mark + "web 8089\r\n");
    EXPECT_EQ(Edit(marked, {{1, "webcontrol 10.77.0.3/32", mark + "navx 2"}}).text, mark + "navx 2\r\nweb 8089\r\n");
    EXPECT_EQ(Edit(mark + "//\n", {{0, "", "navy 2"}}).text, mark + "navy 2\n//\n");
    EXPECT_FALSE(ApplyLineEdits("navx 1\n", {{1, "navx 2", "navx 3"}}, nullptr, &out, &problem));
    EXPECT_TRUE(problem.conflict);
    EXPECT_FALSE(ApplyLineEdits("navx 1\n", {{0, "", "navx 3\nnavy 4"}}, nullptr, &out, &problem));
    // Changed into a bare comment, a line would swallow the next one.
    ASSERT_TRUE(ApplyLineEdits("navx 1\nnavy 2\n", {{1, "navx 1", "//"}}, nullptr, &out, &problem));
    ParsedParameters parsed;
    ParameterProblem read;
    ASSERT_TRUE(ParseParameterText(out.text, nullptr, &parsed, &read));
    EXPECT_FALSE(CheckEditedLines(out, parsed, &problem));
    EXPECT_EQ(problem.line, 1);
}

// A change by meaning applied to `text`; "!" and the message when refused.
std::string Changed(const std::string& text, std::vector<model::FileChange> changes) {
    ParsedParameters parsed;
    ParameterProblem read;
    EXPECT_TRUE(ParseParameterText(text, nullptr, &parsed, &read)) << read.message;
    std::vector<LineEdit> edits;
    EditProblem problem;
    if (!ChangeEdits(text, parsed, changes, &edits, &problem)) return "!" + problem.message;
    return Edit(text, edits).text;
}

model::FileChange Remove(int entry) {
    model::FileChange c;
    c.kind = model::FileChange::Kind::RemoveEntry;
    c.entry = entry;
    return c;
}

TEST(FileChanges, TheProgramWritesTheLines) {
    using Kind = model::FileChange::Kind;
    const std::string mark = "\xEF\xBB\xBF";
    const std::string text = mark + "board mcp /dev/x // left\r\nbutton mcp 7 key_a\r\n\r\n  navx 3  webcontrol 10.0.0.9 "
                                    "navy 4 // keep\r\nwebcontrol\r\n 10.0.0.9/32\r\n";
    // Alone on its line, an entry takes the line and its comment; beside
    // others, only its own bytes go.
    EXPECT_EQ(Changed(text, {Remove(0), Remove(2), Remove(3)}),
              mark + "\r\n  webcontrol 10.0.0.9 navy 4 // keep\r\nwebcontrol\r\n 10.0.0.9/32\r\n");
    EXPECT_EQ(Changed(text, {Remove(5)}),
              mark + "board mcp /dev/x // left\r\nbutton mcp 7 key_a\r\n\r\n  navx 3  webcontrol 10.0.0.9 // keep\r\n"
                     "webcontrol\r\n 10.0.0.9/32\r\n");
    // A revoked device goes wherever it was granted, over two lines too.
    model::FileChange revoke;
    revoke.kind = Kind::RevokeDevice;
    revoke.net = {0x0A000009, 32};
    EXPECT_EQ(Changed(text, {revoke}), mark + "board mcp /dev/x // left\r\nbutton mcp 7 key_a\r\n\r\n  navx 3  navy 4 // keep\r\n");
    model::FileChange board, map;
    board.kind = Kind::AddBoard;
    board.board = "rt";
    board.port = "COM5";
    map.type = "button";
    map.board = "rt";
    map.pins = {4};
    map.control = "key_a";
    EXPECT_EQ(Changed("navx 1", {board, map}), "navx 1\nboard rt COM5\nbutton rt 4 key_a\n");
    // What the page may not have the program write.
    map.type = "encoder";
    EXPECT_EQ(Changed(text, {map}), "!The encoder takes 2 pins");
    map.pins = {4, 5};
    map.control = "a b";
    EXPECT_EQ(Changed(text, {map})[0], '!');
    map.type = "board";
    EXPECT_EQ(Changed(text, {map})[0], '!');
    revoke.net = {0x0A000008, 32};
    EXPECT_EQ(Changed(text, {revoke})[0], '!');
    EXPECT_EQ(Changed("// note\nnavx 1", {Remove(0)}), "!The file has no entry 0");
    EXPECT_EQ(Changed("navx 1", {Remove(1)})[0], '!');
}

TEST(SetupSave, SavesWholeOrNotAtAll) {
    Folder f;
    const std::string text = "statusx 1 // left\nweb 8080\n";
    Write(f.cfg, text);
    const std::string revision = TextRevision(text);

    // A file that would not read is never written.
    SaveOutcome o = SaveParameterEdits(f.cfg, nullptr, DefaultSettings(), revision, {{0, "", "colour red"}});
    EXPECT_FALSE(o.saved);
    EXPECT_EQ(o.message, "Unknown symbol in parameter file: colour");
    EXPECT_EQ(o.line, 3);
    // The page is shown the lines around it as the save would have written them.
    EXPECT_EQ(o.contextFrom, 1);
    EXPECT_EQ(o.context, (std::vector<std::string>{"statusx 1 // left", "web 8080", "colour red"}));
    EXPECT_EQ(Slurp(f.cfg), text);
    EXPECT_FALSE(std::filesystem::exists(f.cfg + ".bak"));

    o = SaveParameterEdits(f.cfg, nullptr, DefaultSettings(), "0000", {{0, "", "navx 1"}});
    EXPECT_TRUE(o.changedOnDisk);
    EXPECT_EQ(o.message, "The file changed on disk since it was read");
    EXPECT_EQ(o.diskText, text);

    WindowLayout layout{11, 12, 13, 14, 15, 16, 17, 18};
    o = SaveParameterEdits(f.cfg, nullptr, DefaultSettings(), revision, WindowLayoutEdits(text, nullptr, layout));
    ASSERT_TRUE(o.saved) << o.message;
    const std::string laid = "statusx 11 // left\nweb 8080\nstatusy 12\nautox 13\nautoy 14\nnavx 15\nnavy 16\n"
                             "radiosx 17\nradiosy 18\n";
    EXPECT_EQ(Slurp(f.cfg), laid);
    EXPECT_EQ(Slurp(f.cfg + ".bak"), text);
    EXPECT_EQ(o.file.revision, TextRevision(laid));
    EXPECT_EQ(o.parsed.settings.radiosY, 18);
    EXPECT_EQ(o.linesChanged, 8);
}

#ifndef _WIN32
TEST(SetupSave, WritesThroughALink) {
    Folder f;
    const std::string real = f.dir + "/real.cfg";
    Write(real, "navx 1\n");
    ASSERT_TRUE(testsupport::MakeSymlink(real, f.cfg));
    const SaveOutcome o = SaveParameterEdits(f.cfg, nullptr, DefaultSettings(), TextRevision("navx 1\n"),
                                             {{1, "navx 1", "navx 2"}});
    ASSERT_TRUE(o.saved) << o.message;
    EXPECT_TRUE(std::filesystem::is_symlink(f.cfg));
    EXPECT_EQ(Slurp(real), "navx 2\n");
    EXPECT_EQ(Slurp(real + ".bak"), "navx 1\n");
}
#endif

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Links planted at the names the save once used for its new files, or at
// names it might guess: it steps around them, and what they point to keeps
// its bytes and its mode. The saved file keeps its own mode.
TEST(SetupSave, StepsAroundLinksBesideTheFileAndKeepsItsMode) {
    namespace fs = std::filesystem;
    const char* planted[] = {".new", ".bak.new", ".tmp", ".bak.tmp", "~", ".bak~"};
    std::vector<bool> hardLinks{true};
#ifndef _WIN32
    hardLinks.push_back(false);  // symbolic links: POSIX only here
#endif
    for (const bool hard : hardLinks) {
        Folder f;
        Write(f.cfg, "navx 1\n");
        fs::permissions(f.cfg, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        const fs::perms mode = fs::status(f.cfg).permissions();
        const std::string victim = f.dir + "/victim";
        Write(victim, "mine\n");
        fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
        const fs::perms victimMode = fs::status(victim).permissions();
        std::vector<std::string> before{"orvvarnoth.cfg", "victim"};
        for (const char* name : planted) {
            std::error_code e;
            if (hard) fs::create_hard_link(victim, f.cfg + name, e);
            else ASSERT_TRUE(testsupport::MakeSymlink(victim, f.cfg + name));
            ASSERT_FALSE(e) << name << ": " << e.message();
            before.push_back(std::string("orvvarnoth.cfg") + name);
        }
        const SaveOutcome o = SaveParameterEdits(f.cfg, nullptr, DefaultSettings(), TextRevision("navx 1\n"),
                                                 {{1, "navx 1", "navx 2"}});
        ASSERT_TRUE(o.saved) << o.message;
        EXPECT_EQ(Slurp(f.cfg), "navx 2\n");
        EXPECT_EQ(Slurp(f.cfg + ".bak"), "navx 1\n");
        EXPECT_EQ(fs::status(f.cfg).permissions(), mode);
        EXPECT_EQ(fs::status(f.cfg + ".bak").permissions(), mode);
        EXPECT_EQ(Slurp(victim), "mine\n") << (hard ? "hard" : "symbolic");
        EXPECT_EQ(fs::status(victim).permissions(), victimMode);
        for (const char* name : planted) {
            if (hard) EXPECT_TRUE(fs::equivalent(f.cfg + name, victim)) << name;
            else EXPECT_EQ(fs::read_symlink(f.cfg + name).string(), victim) << name;
        }
        // Nothing left behind either.
        before.push_back("orvvarnoth.cfg.bak");
        std::sort(before.begin(), before.end());
        EXPECT_EQ(Names(f.dir), before);
    }
}

// A file nobody may write was made so on purpose: the save is refused and
// says why, and nothing is written (tests may run as root, who could write).
TEST(SetupSave, LeavesAReadOnlyFileAlone) {
    namespace fs = std::filesystem;
    Folder f;
    Write(f.cfg, "navx 1\n");
    fs::permissions(f.cfg, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const SaveOutcome o = SaveParameterEdits(f.cfg, nullptr, DefaultSettings(), TextRevision("navx 1\n"),
                                             {{1, "navx 1", "navx 2"}});
    EXPECT_FALSE(o.saved);
    EXPECT_NE(o.message.find("read-only"), std::string::npos) << o.message;
    EXPECT_EQ(Slurp(f.cfg), "navx 1\n");
    EXPECT_EQ(Names(f.dir), std::vector<std::string>{"orvvarnoth.cfg"});
    fs::permissions(f.cfg, fs::perms::owner_write, fs::perm_options::add);  // so that the folder goes
}

TEST(SetupWorker, SavesPublishesAndAppliesLive) {
    Folder f;
    Write(f.cfg, "board mcp /dev/x\n");
    model::SetupDesk desk;
    SetupFile file{f.cfg, nullptr, DefaultSettings()};
    std::size_t boardsApplied = 99;
    SetupHooks hooks;
    hooks.applyBoards = [&](const std::vector<boards::BoardMap>& maps) { boardsApplied = maps.size(); };
    model::SetupRequest request;
    request.kind = model::SetupRequest::Kind::SaveChanges;
    request.id = 7;
    request.from = "10.0.0.7";
    request.revision = TextRevision("board mcp /dev/x\n");
    model::FileChange allow, map;
    allow.kind = model::FileChange::Kind::AllowDevice;
    allow.net = {0x0A000007, 32};
    map.type = "button";
    map.board = "mcp";
    map.pins = {5};
    map.control = "key_a";
    request.changes = {allow, map};
    HandleSetupRequest(desk, file, hooks, request);
    // The same request again, against the old revision: refused, and each
    // outcome is kept for its own request.
    request.id = 8;
    HandleSetupRequest(desk, file, hooks, request);
    const model::SetupSnapshot s = desk.Snapshot();
    model::OutcomeView o;
    ASSERT_TRUE(desk.TakeOutcome(7, &o));
    EXPECT_TRUE(o.ok) << o.message;
    EXPECT_EQ(o.message, "saved orvvarnoth.cfg (2 lines changed)");
    ASSERT_TRUE(desk.TakeOutcome(8, &o));
    EXPECT_FALSE(o.ok);
    EXPECT_FALSE(desk.TakeOutcome(7, &o));
    ASSERT_EQ(s.control.size(), 1u);
    EXPECT_EQ(s.control[0].address, 0x0A000007u);
    EXPECT_EQ(s.file.text, "board mcp /dev/x\nwebcontrol 10.0.0.7/32\nbutton mcp 5 key_a\n");
    // The page is sent the entries as read, and names them back by index.
    ASSERT_EQ(s.file.entries.size(), 3u);
    EXPECT_EQ(s.file.entries[2].values, (std::vector<std::string>{"mcp", "5", "key_a"}));
    EXPECT_TRUE(s.file.entries[2].board);
    EXPECT_FALSE(s.file.entries[1].board);
    EXPECT_EQ(boardsApplied, 1u);
}

TEST(SetupWorker, RunsOnItsThreadUntilStopped) {
    Folder f;
    Write(f.cfg, "websetup 10.1.0.0/16\n");
    model::SetupDesk desk;
    // Seeded with what start-up read; a reload reads the grants from the file.
    AppSettings read = DefaultSettings();
    read.webControlCount = 1;
    read.webControlAddress[0] = 0x0A000009;
    read.webControlBits[0] = 32;
    SeedSetupDesk(desk, SetupFile{f.cfg, nullptr, DefaultSettings()}, read);
    ASSERT_EQ(desk.Snapshot().control.size(), 1u);
    EXPECT_EQ(desk.Snapshot().file.entries.size(), 1u);
    std::atomic<bool> stop{false};
    std::thread worker([&] { RunSetupWorker(desk, SetupFile{f.cfg, nullptr, DefaultSettings()}, SetupHooks{}, stop); });
    model::SetupRequest request;  // a reload
    const std::uint64_t id = desk.Post(request);
    model::OutcomeView o;
    for (int i = 0; i < 1000 && !desk.TakeOutcome(id, &o); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const model::SetupSnapshot s = desk.Snapshot();
    EXPECT_EQ(o.request, id);
    EXPECT_EQ(s.file.text, "websetup 10.1.0.0/16\n");
    ASSERT_EQ(s.setup.size(), 1u);
    EXPECT_EQ(s.setup[0].bits, 16);
    EXPECT_TRUE(s.control.empty());
    stop = true;
    desk.Interrupt();
    worker.join();
}

}  // namespace
