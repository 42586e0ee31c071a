// The browser host's pure pieces: frames, commands, paths, the allow-list,
// the send queue and the templates document.
#include <gtest/gtest.h>

#include <string>

#include "panels/panel_table.h"
#include "model/panel_model.h"
#include "resources/dialog_script.h"
#include "web/allow_list.h"
#include "web/frames.h"
#include "web/host_check.h"
#include "web/panel_set.h"
#include "web/send_queue.h"
#include "web/site.h"

namespace {

using namespace web;

// The program's own panel table, as the server sees it.
model::PanelModel& ProgramPanels() {
    static model::Catalog catalog;
    static const bool loaded = panels::LoadPanelCatalog(&catalog);
    static model::PanelModel panels(catalog);
    EXPECT_TRUE(loaded);
    return panels;
}

TEST(Frames, ServerFramesAreTheAgreedJson) {
    EXPECT_EQ(HelloFrame(false), R"({"t":"hello","control":false})");
    EXPECT_EQ(SnapshotFrame({{1023, "118.00", false}, {1010, "LNAV", true}}),
              R"({"t":"snapshot","values":[[1023,"118.00",0],[1010,"LNAV",1]]})");
    EXPECT_EQ(SnapshotFrame({}), R"({"t":"snapshot","values":[]})");
    // Quotes, backslashes and control characters are escaped; Latin-1 (a
    // degree sign) becomes UTF-8.
    EXPECT_EQ(BatchFrame({{7, "a\"b\\c\n\xB0", true}}),
              "{\"t\":\"batch\",\"values\":[[7,\"a\\\"b\\\\c\\u000a\xC2\xB0\",1]]}");
    EXPECT_EQ(LinkFrame("10.0.0.2", true, 4), R"({"t":"link","node":"10.0.0.2","connected":true,"age":0.4})");
    EXPECT_EQ(LinkFrame("", false, -1), R"({"t":"link","node":"","connected":false,"age":null})");
    EXPECT_EQ(LinkFrame("", false, 123), R"({"t":"link","node":"","connected":false,"age":12.3})");
    EXPECT_EQ(LinkFrame("", true, 0, 20, 987), R"({"t":"link","node":"","connected":true,"age":0.0,"stale":2.0,"at":987})");
    EXPECT_EQ(RefusedFrame("read-only"), R"({"t":"refused","why":"read-only"})");
}

TEST(Frames, CommandsAreReadStrictly) {
    Command c{};
    ASSERT_TRUE(ParseCommand(R"( {"t":"cmd","panel":"radios","id":1023,"shift":false} )", &c));
    EXPECT_EQ(c.kind, CommandKind::Click);
    EXPECT_EQ(c.panel, "radios");
    EXPECT_EQ(c.id, 1023);
    ASSERT_TRUE(ParseCommand(R"({"shift":true,"delta":-1,"id":1063,"panel":"radios","t":"delta"})", &c));
    EXPECT_EQ(c.kind, CommandKind::Delta);
    EXPECT_EQ(c.delta, -1);
    EXPECT_TRUE(c.shift);
    ASSERT_TRUE(ParseCommand(R"({"t":"cmd","panel":"status","id":1010})", &c));  // shift may be left out
    EXPECT_FALSE(c.shift);
    for (const char* bad : {
             "", "{}", "[]", "nonsense", R"({"t":"cmd","panel":"radios"})",
             R"({"t":"cmd","panel":"radios","id":1023,"id":1024})",        // repeated member
             R"({"t":"cmd","panel":"radios","id":1023,"delta":1})",         // a click has no delta
             R"({"t":"delta","panel":"radios","id":1063})",
             R"({"t":"cmd","panel":"radios","id":"1023"})",                 // wrong type
             R"({"t":"cmd","panel":"radios","id":10230000000})",            // too many digits
             R"({"t":"cmd","panel":"ra\"dios","id":1})",                    // no escapes
             R"({"t":"cmd","panel":"radios","id":1023,"x":1})",             // unknown member
             R"({"t":"cmd","panel":"radios","id":1023} x)",                 // trailing text
             R"({"t":"set","panel":"radios","id":1023})",
         })
        EXPECT_FALSE(ParseCommand(bad, &c)) << bad;
    EXPECT_FALSE(ParseCommand(R"({"t":"cmd","panel":")" + std::string(600, 'a') + R"(","id":1})", &c));
    for (const std::string delta : {"0", "-0", "2", "-2", "+1", "1.0", "65535", "4294967297", "null"})  // one step only
        EXPECT_FALSE(ParseCommand(R"({"t":"delta","panel":"radios","id":1063,"delta":)" + delta + "}", &c)) << delta;
}

TEST(AllowList, NetsAndHostsOnlyAndNobodyByDefault) {
    AllowedNet net{};
    EXPECT_FALSE(Allowed({}, 0x7F000001));  // loopback is not implied
    ASSERT_TRUE(ParseAllowedNet("192.168.1.0/24", &net));
    EXPECT_TRUE(Allowed({net}, 0xC0A801FE));
    EXPECT_FALSE(Allowed({net}, 0xC0A802FE));
    EXPECT_TRUE(Allowed({net}, 0xC0A80100) && Allowed({net}, 0xC0A801FF));  // the edges, and no further
    EXPECT_FALSE(Allowed({net}, 0xC0A800FF) || Allowed({net}, 0xC0A80200));
    ASSERT_TRUE(ParseAllowedNet("10.0.0.7", &net));
    EXPECT_TRUE(Allowed({net}, 0x0A000007));
    EXPECT_FALSE(Allowed({net}, 0x0A000006) || Allowed({net}, 0x0A000008));
    ASSERT_TRUE(ParseAllowedNet("0.0.0.0/0", &net));
    EXPECT_TRUE(Allowed({net}, 0x01020304));
    for (const char* bad : {"", "10.0.0", "10.0.0.1/", "10.0.0.1/33", "10.0.0.1/-1", "10.0.0.1/1x", "10.0.0.1/024",
                            "a.b.c.d"})
        EXPECT_FALSE(ParseAllowedNet(bad, &net)) << bad;
}

TEST(Door, OnlyRequestsNamingTheProgramAndItsOwnPageGetIn) {
    const HostNames names{0x0A000001, 8080, {"cockpit.lan"}};  // 10.0.0.1:8080
    const struct { const char *host, *origin; Door door; } cases[] = {  // "-": none
        {"10.0.0.1:8080", "http://10.0.0.1:8080", Door::Open},   {"10.0.0.1", "-", Door::Open},
        {"COCKPIT.Lan:8080", "http://Cockpit.LAN:8080", Door::Open},
        {"evil.test:8080", "http://evil.test:8080", Door::ForeignHost},  // a rebound name
        {"10.0.0.1:8080", "http://evil.test:8080", Door::ForeignOrigin}, {"10.0.0.1:8080", "null", Door::ForeignOrigin},
        {"10.0.0.1:8080", "http://10.0.0.1", Door::ForeignOrigin},  // port 80: another server
        {"10.0.0.1:8081", "-", Door::ForeignHost}, {"[::1]:8080", "-", Door::ForeignHost}, {"-", "-", Door::NoHost},
    };
    const auto seen = [](std::string_view v) { return v == "-" ? HeaderSeen{} : HeaderSeen{1, v}; };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckDoor(names, seen(c.host), seen(c.origin), true), c.door) << c.host << " " << c.origin;
        EXPECT_EQ(CheckDoor(names, seen(c.host), seen(c.origin), false),  // Origin matters to WebSockets only
                  c.door == Door::ForeignOrigin ? Door::Open : c.door) << c.host;
    }
    EXPECT_EQ(CheckDoor(HostNames{0x0A000001, 80, {}}, {1, "10.0.0.1"}, {1, "http://10.0.0.1:80"}, true), Door::Open);
}

TEST(SendQueue, ASlowBrowserIsDroppedToOneSnapshot) {
    SendQueue queue(3);
    const auto frame = [](const char* text) { return std::make_shared<const std::string>(text); };
    ASSERT_TRUE(queue.Push(frame("a")));
    ASSERT_EQ(*queue.StartWrite(), "a");
    EXPECT_EQ(queue.StartWrite(), nullptr);  // one write at a time
    ASSERT_TRUE(queue.Push(frame("b")));
    ASSERT_TRUE(queue.Push(frame("c")));
    EXPECT_FALSE(queue.Push(frame("d")));
    queue.Resync(frame("snapshot"));
    EXPECT_EQ(queue.Size(), 2u);  // "a" is still being written
    queue.FinishWrite();
    EXPECT_EQ(*queue.StartWrite(), "snapshot");
    queue.FinishWrite();
    EXPECT_EQ(queue.StartWrite(), nullptr);
    EXPECT_EQ(queue.Resyncs(), 1u);

    // Bytes bound it too; a resync queues the present whatever its size.
    SendQueue small(8, 10);
    ASSERT_TRUE(small.Push(frame("123456")));
    ASSERT_EQ(*small.StartWrite(), "123456");
    EXPECT_TRUE(small.Push(frame("1234")));
    EXPECT_FALSE(small.Push(frame("1")));
    small.Resync(frame("snapshot"), frame("link"));
    EXPECT_EQ(small.Bytes(), 18u);
    small.FinishWrite();
    EXPECT_EQ(*small.StartWrite(), "snapshot");
    small.FinishWrite();
    EXPECT_EQ(*small.StartWrite(), "link");
    small.FinishWrite();
    EXPECT_EQ(small.Bytes(), 0u);
    EXPECT_TRUE(small.Push(frame("1234567890")));
}

TEST(Site, OnlyEmbeddedFilesAreServed) {
    static const unsigned char bytes[] = "x";
    const EmbeddedFile files[] = {{"index.html", bytes, 1}, {"app.js", bytes, 1}};
    const auto route = [&](std::string_view target) { return ResolvePath(target, files, 2, &ProgramPanels().catalog()); };
    EXPECT_EQ(route("/").file, &files[0]);
    EXPECT_EQ(route("/radios").file, &files[0]);
    EXPECT_EQ(route("/status?x=1").file, &files[0]);
    EXPECT_EQ(route("/app.js").file, &files[1]);
    EXPECT_EQ(route("/templates.json").route, Route::Templates);
    EXPECT_EQ(route("/ws").route, Route::Socket);
    EXPECT_EQ(route("/missing.css").route, Route::NotFound);
    for (std::string_view bad : {"/../app.js", "/..", "/a/app.js", "/.hidden", "//app.js"})
        EXPECT_EQ(route(bad).route, Route::NotFound) << bad;
    for (std::string_view bad : {"/%2e%2e/x", "/a%2fb", "/a%5cb", "/a\\b", "", "app.js", "http://x/app.js"})
        EXPECT_EQ(route(bad).route, Route::BadRequest) << bad;
    EXPECT_EQ(route("/" + std::string(kMaxPathLength, 'a')).route, Route::BadRequest);
}

TEST(PanelSet, TemplatesDocumentFollowsThePanelScript) {
    PanelSet set{&ProgramPanels()};
    const model::Catalog* catalog = &set.model->catalog();
    ASSERT_EQ(catalog->panelCount, 4u);
    // Every control a browser may address exists in the combined window
    // too, with the same kind, so one snapshot serves both window modes.
    const platform::DialogTemplate* combined = catalog->Template(108);
    ASSERT_NE(combined, nullptr);
    for (std::size_t row = 0; row < catalog->panelCount; ++row) {
        const model::PanelInfo& panel = catalog->panels[row];
        for (const auto& t : catalog->templates) {
            if (t.id != panel.templateId) continue;
            for (const auto& control : t.controls) {
                if (control.id == -1) continue;
                const platform::ControlTemplate* there = combined->Find(control.id);
                ASSERT_NE(there, nullptr) << panel.name << " " << control.id;
                EXPECT_STREQ(KindName(*there), KindName(control)) << control.id;
                EXPECT_EQ(FindPanelControl(set, panel.name, control.id), &control);
            }
        }
    }
    EXPECT_EQ(FindPanelControl(set, "radios", -1), nullptr);
    EXPECT_EQ(FindPanelControl(set, "nowhere", 1023), nullptr);
    EXPECT_EQ(FindPanelControl(set, "combined", 1071), combined->Find(1071));  // ADF1 steps: combined only
    const std::string json = TemplatesJson(set);
    EXPECT_EQ(json.rfind(R"({"panels":[{"name":"radios","title":"Radios","template":104,"w":225,"h":150,)", 0), 0u);
    EXPECT_NE(json.find(R"({"id":1023,"kind":"notify","text":"","x":133,"y":17,"w":35,"h":11,"align":"right","border":true})"),
              std::string::npos);
    EXPECT_NE(json.find(R"("combined":{"w":484,"h":404,"place":{"radios":[6,13],)"), std::string::npos);
}

}  // namespace
