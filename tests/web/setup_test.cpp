// The set-up page's pure pieces: who gets in, asks for control, and the
// set-up socket's frames.
#include <gtest/gtest.h>

#include <string>

#include "model/panel_model.h"
#include "panels/panel_table.h"
#include "web/control_asks.h"
#include "web/response.h"
#include "web/setup_door.h"
#include "web/setup_frames.h"

namespace {

using namespace web;

TEST(SetupDoor, ThePcItselfAndWebsetupNetsOnly) {
    const std::uint32_t bound = 0x0A000001;  // 10.0.0.1
    const std::vector<AllowedNet> nets = {{0x0A000100, 24}};  // websetup 10.0.1.0/24
    const struct { bool desk; std::uint32_t remote; SetupDoor door; } cases[] = {
        {true, bound, SetupDoor::Open},       {true, 0x7F000001, SetupDoor::Open},  // loopback
        {true, 0x7F0A0B0C, SetupDoor::Open},  {true, 0x0A000107, SetupDoor::Open},  // in the websetup net
        {true, 0x0A000002, SetupDoor::Refused},  // a panels browser next door
        {true, 0x0A000200, SetupDoor::Refused},  {true, 0x80000001, SetupDoor::Refused},
        {true, 0, SetupDoor::Refused},  // address unknown
        {false, bound, SetupDoor::Absent},  {false, 0x0A000107, SetupDoor::Absent},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckSetupDoor(c.desk, bound, nets, c.remote), c.door) << c.remote;
    EXPECT_EQ(CheckSetupDoor(true, bound, {}, 0x0A000107), SetupDoor::Refused);
}

TEST(SetupDoor, AnswersBehindTheHostChecks) {
    static const unsigned char bytes[] = "x";
    const EmbeddedFile files[] = {{"index.html", bytes, 1}, {"setup.html", bytes, 1}};
    const HostNames names{0x0A000001, 8080, {}};
    const struct { const char* target; bool upgrade; SetupDoor door; const char* origin; int status; bool setup; } cases[] = {
        {"/setup", false, SetupDoor::Open, nullptr, 200, false},
        {"/setup", false, SetupDoor::Refused, nullptr, 403, false},
        {"/setup", false, SetupDoor::Absent, nullptr, 404, false},
        {"/setup.html", false, SetupDoor::Open, nullptr, 404, false},  // only by its door
        {"/setup/socket", true, SetupDoor::Open, nullptr, 101, true},
        {"/setup/socket", true, SetupDoor::Open, "http://evil.test:8080", 403, false},
        {"/setup/socket", true, SetupDoor::Refused, nullptr, 403, false},
        {"/setup/socket", false, SetupDoor::Open, nullptr, 404, false},
        {"/ws", true, SetupDoor::Refused, nullptr, 101, false},  // the panels stay open to it
    };
    for (const auto& c : cases) {
        const RequestView request{"GET", c.target, {1, "10.0.0.1:8080"},
                                  c.origin ? HeaderSeen{1, c.origin} : HeaderSeen{}, c.upgrade};
        const Response r = BuildResponse(request, SiteView{&names, files, 2, "", false, nullptr, c.door});
        EXPECT_EQ(r.status, c.status) << c.target << " " << static_cast<int>(c.door);
        EXPECT_EQ(r.setup, c.setup) << c.target;
        if (c.status == 200) {
            EXPECT_EQ(r.body, "x");
        }
    }
}

TEST(ControlAsks, LimitsAndLapse) {
    std::uint32_t next = 10000;
    ControlAsks asks([&next] { return next++; });  // codes 0000, 0001, ...
    const std::uint32_t a = 0x0A000002, b = 0x0A000003;
    std::string code;
    EXPECT_EQ(asks.Ask(a, 1, true, 0, &code), AskResult::AlreadyAllowed);
    ASSERT_EQ(asks.Ask(a, 1, false, 0, &code), AskResult::Asked);
    EXPECT_EQ(code, "0000");
    ASSERT_EQ(asks.Ask(a, 1, false, 1000, &code), AskResult::Asked);  // a repeat: the same ask
    EXPECT_EQ(code, "0000");
    EXPECT_EQ(asks.Pending().size(), 1u);
    // Denied twice more within the minute: the fourth new ask is too many.
    PendingAsk taken;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(asks.Take(asks.Pending().back().id, 2000, &taken));
        ASSERT_EQ(asks.Ask(a, 1, false, 3000 + i, &code), AskResult::Asked);
    }
    ASSERT_TRUE(asks.Take(asks.Pending().back().id, 4000, &taken));
    EXPECT_FALSE(asks.Take(taken.id, 4000, &taken));  // gone already
    EXPECT_EQ(asks.Ask(a, 1, false, 59999, &code), AskResult::TooOften);
    EXPECT_EQ(asks.Ask(a, 1, false, 60000, &code), AskResult::Asked);  // a minute after the first
    // Four pending in all.
    for (std::uint32_t other = b; other < b + 3; ++other) EXPECT_EQ(asks.Ask(other, 1, false, 60000, &code), AskResult::Asked);
    EXPECT_EQ(asks.Ask(b + 3, 1, false, 60000, &code), AskResult::TooMany);
    // Two minutes on, every ask lapses, once.
    EXPECT_FALSE(asks.Lapse(60000 + ControlAsks::kLapseMs - 1));
    EXPECT_TRUE(asks.Lapse(60000 + ControlAsks::kLapseMs));
    EXPECT_FALSE(asks.Lapse(60000 + ControlAsks::kLapseMs));
    EXPECT_TRUE(asks.Pending().empty());
    EXPECT_STREQ(AskRefusalText(AskResult::AlreadyAllowed), "already allowed");
}

// An ask lives while a socket that made it is open; the page can clear them all.
TEST(ControlAsks, GoWithTheirSockets) {
    std::uint32_t next = 0;
    ControlAsks asks([&next] { return next++; });
    std::string code;
    ASSERT_EQ(asks.Ask(0x0A000002, 1, false, 0, &code), AskResult::Asked);
    ASSERT_EQ(asks.Ask(0x0A000002, 2, false, 0, &code), AskResult::Asked);  // a second tab, same ask
    ASSERT_EQ(asks.Ask(0x0A000003, 3, false, 0, &code), AskResult::Asked);
    EXPECT_FALSE(asks.Withdraw(1));  // tab 2 still waits
    EXPECT_FALSE(asks.Withdraw(9));
    EXPECT_TRUE(asks.Withdraw(2));
    ASSERT_EQ(asks.Pending().size(), 1u);
    EXPECT_EQ(asks.Pending()[0].address, 0x0A000003u);
    EXPECT_EQ(asks.Clear(), 1u);
    EXPECT_TRUE(asks.Pending().empty());
}

TEST(ControlAsks, PendingCodesDiffer) {
    std::uint32_t draws[] = {42, 10042, 7};
    int at = 0;
    ControlAsks asks([&] { return draws[at++]; });
    std::string first, second;
    ASSERT_EQ(asks.Ask(1, 1, false, 0, &first), AskResult::Asked);
    ASSERT_EQ(asks.Ask(2, 1, false, 0, &second), AskResult::Asked);
    EXPECT_EQ(first, "0042");
    EXPECT_EQ(second, "0007");
}

TEST(SetupFrames, PageRequestsAreReadStrictly) {
    PageRequest p;
    ASSERT_TRUE(ParsePageRequest(
        R"({"t":"save","revision":"r7","changes":[{"do":"map","type":"encoder","board":"mcp","pins":[4,5],"control":"c"},)"
        R"({"do":"remove","entry":3},{"do":"revoke","range":"10.0.0.9"},{"do":"board","board":"b","port":"COM5"}]})", &p));
    EXPECT_EQ(p.request.kind, model::SetupRequest::Kind::SaveChanges);
    ASSERT_EQ(p.request.changes.size(), 4u);
    EXPECT_EQ(p.request.changes[0].pins, (std::vector<int>{4, 5}));
    EXPECT_EQ(p.request.changes[1].entry, 3);
    EXPECT_EQ(p.request.changes[2].net.address, 0x0A000009u);
    EXPECT_EQ(p.request.changes[2].net.bits, 32);
    EXPECT_EQ(p.request.changes[3].port, "COM5");
    EXPECT_EQ(DescribeRequest(p.request), "save (4 edits)");
    ASSERT_TRUE(ParsePageRequest(R"({"t":"identify","board":"left","pins":[2,3,4]})", &p));
    EXPECT_EQ(p.request.pins, (std::vector<int>{2, 3, 4}));
    ASSERT_TRUE(ParsePageRequest(R"({"t":"allow","id":5})", &p));
    EXPECT_EQ(p.kind, PageRequest::Kind::Allow);
    EXPECT_EQ(p.askId, 5u);
    ASSERT_TRUE(ParsePageRequest(R"({"t":"name","port":"/dev/ttyUSB0","name":"over\u0001head"})", &p));
    EXPECT_EQ(DescribeRequest(p.request), "name /dev/ttyUSB0 over?head");
    for (const char* bad : {"", "[]", "{}", R"({"t":"find","x":1})", R"({"t":"explode"})", R"({"t":"allow","id":0})",
                            R"({"t":"allow","id":"5"})", R"({"t":"identify","board":"b","pins":[1,2]})",
                            R"({"t":"save","revision":"r","changes":[{"do":"remove","entry":-1}]})",
                            R"({"t":"save","revision":"r","changes":[{"do":"revoke","range":"10.0.0.300"}]})",
                            R"({"t":"save","revision":"r","changes":[{"do":"map","type":"led","board":"b","control":"c"}]})",
                            R"({"t":"save","revision":"r","edits":[{"line":1,"text":""}]})", R"({"t":"learn"})",
                            R"({"t":"find"} x)"})
        EXPECT_FALSE(ParsePageRequest(bad, &p)) << bad;
    EXPECT_TRUE(IsAskFrame(R"( {"t":"ask"} )"));
    EXPECT_FALSE(IsAskFrame(R"({"t":"ask","id":1})"));
}

TEST(SetupFrames, SnapshotAsksAndNames) {
    model::SetupSnapshot s;
    s.version = 9;
    s.control = {{0x0A000007, 32}};
    s.file.text = "name \xE9t\xE9\n";  // Latin-1 goes out as UTF-8
    const std::string frame = SetupFrame(s, {{3, 0x0A000009, "0815", 1000, {}}}, 62500);
    EXPECT_EQ(frame.rfind(R"({"t":"setup","v":9,)", 0), 0u) << frame;
    EXPECT_NE(frame.find(R"("control":["10.0.0.7/32"],"setup":[],"asks":[{"id":3,"address":"10.0.0.9","code":"0815","age":61}])"),
              std::string::npos) << frame;
    EXPECT_NE(frame.find("name \xC3\xA9t\xC3\xA9\\n"), std::string::npos) << frame;
    s.file.entries = {{4, "button", {"mcp", "5", "key_a"}, 2, true}};
    EXPECT_NE(SetupFrame(s, {}, 0).find(
                  R"("entries":[{"n":4,"keyword":"button","values":["mcp","5","key_a"],"line":2,"board":true}])"),
              std::string::npos);
    static model::Catalog catalog;
    ASSERT_TRUE(panels::LoadPanelCatalog(&catalog));
    const std::string names = NamesFrame(catalog);
    EXPECT_NE(names.find(R"({"panel":"autopilot","id":1049,"name":"heading_hold","kind":"check"})"), std::string::npos)
        << names;
    EXPECT_NE(names.find(R"("id":1063,"name":"com1_coarse","kind":"stepper"})"), std::string::npos);
    EXPECT_EQ(names.find("\"id\":-1"), std::string::npos);
}

}  // namespace
