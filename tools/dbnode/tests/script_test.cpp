#include "tools/dbnode/script.h"

#include <gtest/gtest.h>

#include "tools/dbnode/options.h"

namespace dbnode {
namespace {

Command Parse(const std::string& line) {
    Command c;
    std::string error;
    EXPECT_TRUE(ParseCommand(line, &c, &error)) << line << ": " << error;
    return c;
}

std::string Error(const std::string& line) {
    Command c;
    std::string error;
    EXPECT_FALSE(ParseCommand(line, &c, &error)) << line;
    return error;
}

TEST(Script, Commands) {
    Command c = Parse("send 222 -1");
    EXPECT_EQ(c.kind, CommandKind::kSend);
    EXPECT_EQ(c.index, 222);
    EXPECT_EQ(c.numbers[0], -1);
    c = Parse("  send 20 1500.5  ");
    EXPECT_EQ(c.index, 20);
    EXPECT_EQ(c.numbers[0], 1500.5);
    EXPECT_EQ(Parse("silent 35").kind, CommandKind::kSilent);
    EXPECT_EQ(Parse("silent 35").numbers[0], 35);
    EXPECT_EQ(Parse("wait 0.5").kind, CommandKind::kWait);
    c = Parse("updates off");
    EXPECT_EQ(c.kind, CommandKind::kUpdates);
    EXPECT_FALSE(c.flag);
    EXPECT_TRUE(Parse("armnav on").flag);
    EXPECT_EQ(Parse("connected 0").kind, CommandKind::kConnected);
    EXPECT_EQ(Parse("bad oversize").bad, BadKind::kOversize);
    EXPECT_EQ(Parse("bad plansize").bad, BadKind::kPlanSize);
    c = Parse("plan /tmp/p.txt 12");
    EXPECT_EQ(c.kind, CommandKind::kPlan);
    EXPECT_EQ(c.text, "/tmp/p.txt");
    EXPECT_TRUE(c.hasSerial);
    EXPECT_EQ(c.numbers[0], 12);
    EXPECT_FALSE(Parse("plan p.txt").hasSerial);
    c = Parse("airborne 46.8 8.0 0 3000 250");
    EXPECT_EQ(c.kind, CommandKind::kAirborne);
    EXPECT_EQ(c.numbers[3], 3000);
    EXPECT_EQ(Parse("speedup 10").numbers[0], 10);
    EXPECT_EQ(Parse("rate 20").kind, CommandKind::kRate);
    EXPECT_EQ(Parse("report").kind, CommandKind::kReport);
    EXPECT_EQ(Parse("restart").kind, CommandKind::kRestart);
    EXPECT_EQ(Parse("quit").kind, CommandKind::kQuit);
    EXPECT_EQ(Parse("").kind, CommandKind::kNone);
    EXPECT_EQ(Parse("# send 1 2").kind, CommandKind::kNone);
}

TEST(Script, BadCommands) {
    EXPECT_EQ(Error("fly home"), "unknown command 'fly'");
    EXPECT_NE(Error("send 222").find("expected send"), std::string::npos);
    EXPECT_NE(Error("send 300 1").find("no such variable"), std::string::npos);
    EXPECT_NE(Error("send 1.5 1").find("no such variable"), std::string::npos);
    EXPECT_NE(Error("send 168 1").find("no integer or real"), std::string::npos);
    EXPECT_NE(Error("send 187 1").find("no integer or real"), std::string::npos);
    EXPECT_NE(Error("send 20 fast").find("expected send"), std::string::npos);
    Error("silent -1");
    Error("silent");
    Error("updates maybe");
    Error("bad worse");
    Error("plan");
    Error("plan a b");
    Error("airborne 1 2 3 4");
    Error("airborne 95 8 0 3000 250");
    Error("speedup 0");
    Error("rate -2");
    Error("report now");
}

TEST(Options, CommandLine) {
    const char* argv[] = {"orv-dbnode", "--plan", "p.txt", "--speedup", "10", "--airborne",
                          "46.8,8.0,0,3000,250", "--arm-nav", "--port", "9200", "--rate", "20"};
    Options o;
    std::string error;
    ASSERT_TRUE(ParseOptions(12, argv, &o, &error)) << error;
    EXPECT_EQ(o.node.planFile, "p.txt");
    EXPECT_EQ(o.node.speedup, 10);
    EXPECT_TRUE(o.node.airborne);
    EXPECT_EQ(o.node.start[0], 46.8);
    EXPECT_EQ(o.node.start[4], 250);
    EXPECT_TRUE(o.node.armNav);
    EXPECT_EQ(o.node.dataPort, 9200);
    EXPECT_EQ(o.node.rateHz, 20);
    EXPECT_EQ(o.requestPort, 9019);
}

TEST(Options, BadCommandLines) {
    auto fails = [](std::initializer_list<const char*> args) {
        std::vector<const char*> argv{"orv-dbnode"};
        argv.insert(argv.end(), args);
        Options o;
        std::string error;
        return !ParseOptions(static_cast<int>(argv.size()), argv.data(), &o, &error) && !error.empty();
    };
    EXPECT_TRUE(fails({"--port", "70000"}));
    EXPECT_TRUE(fails({"--port"}));
    EXPECT_TRUE(fails({"--speedup", "0"}));
    EXPECT_TRUE(fails({"--airborne", "46.8,8.0,0,3000"}));
    EXPECT_TRUE(fails({"--airborne", "46.8,8.0,0,3000,250,1"}));
    EXPECT_TRUE(fails({"--fly"}));
}

}  // namespace
}  // namespace dbnode
