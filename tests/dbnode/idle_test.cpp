// When the node wakes by itself, and how it counts the client's datagrams.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "protocol/wire.h"
#include "tools/dbnode/client_counter.h"
#include "tools/dbnode/node.h"
#include "tools/dbnode/wake.h"

namespace dbnode {
namespace {

void Connect(Node* node) {
    std::vector<unsigned char> d(kHeaderSize);
    EncodeHeader(d.data(), DatagramHeader{2, 9, 1, 0, 15});
    const char request[] = "127.0.0.1 9099 1 2\n";
    d.insert(d.end(), request, request + std::strlen(request));
    std::vector<Outgoing> sends;
    HandleRequestDatagram(node, d.data(), d.size(), &sends);
    ASSERT_TRUE(node->haveClient);
}

// After a tick has sent what was due, the sleep until the next event is
// never 0: an idle node must not spin.
TEST(Wake, SleepsUntilTheNextEventAndNeverSpins) {
    struct Row {
        const char* what;
        bool client;
        double posEvery;
        const char* command;  // run after the first tick, "" for none
        double expectedSleep;  // after a tick at t = 10; -1: until input
    };
    const Row rows[] = {
        {"no client, no POS lines", false, 0, "", -1},
        {"no client, POS lines", false, 1.5, "", 0.5},  // lines at 9, then 10.5
        {"client: next update", true, 0, "", 0.1},
        {"client, updates off: next keep-alive", true, 0, "updates off", 2.0},
        {"client, silent: end of the silence", true, 0, "silent 7", 6.5},  // from 9.5
        {"client, silent, POS lines first", true, 0.5, "silent 7", 0.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::FILE* out = std::fopen("/dev/null", "w");
        Node node;
        NodeConfig config;
        config.posEverySec = row.posEvery;
        std::string error;
        ASSERT_TRUE(InitNode(&node, config, out, &error));
        std::vector<Outgoing> sends;
        TickNode(&node, 9.0, &sends);
        if (row.client) Connect(&node);
        if (*row.command != '\0') {
            Command command;
            ASSERT_TRUE(ParseCommand(row.command, &command, &error)) << error;
            ExecuteCommand(&node, command, 9.5, &sends);
        }
        TickNode(&node, 10.0, &sends);
        const double sleep = SleepSeconds(10.0, NextDue(node, 10.0));
        if (row.expectedSleep < 0) {
            EXPECT_EQ(sleep, -1.0);
        } else {
            EXPECT_NEAR(sleep, row.expectedSleep, 1e-9);
        }
        EXPECT_NE(sleep, 0.0);
        // Waking a little early changes nothing: the sleep only shrinks.
        if (sleep > 0) {
            TickNode(&node, 10.0 + sleep / 2, &sends);
            EXPECT_NEAR(SleepSeconds(10.0 + sleep / 2, NextDue(node, 10.0 + sleep / 2)), sleep / 2, 1e-9);
        }
        std::fclose(out);
    }
}

TEST(Wake, SleepSecondsClampsAndKnowsNever) {
    EXPECT_EQ(SleepSeconds(5.0, 4.0), 0.0);  // overdue: at once
    EXPECT_EQ(SleepSeconds(5.0, 5.25), 0.25);
    EXPECT_EQ(SleepSeconds(5.0, kNever), -1.0);
}

TEST(ClientCounter, CountsGapsInTheClientsSequence) {
    struct Row {
        const char* what;
        std::initializer_list<std::int32_t> sequences;
        std::int32_t total;
        std::int32_t missed;
    };
    const Row rows[] = {
        {"in order", {1, 2, 3}, 3, 0},
        {"two lost", {1, 2, 5}, 3, 2},
        {"across the wrap", {998, 999, 0, 1}, 4, 0},
        {"lost across the wrap", {998, 1}, 2, 2},
        {"a repeat", {5, 5, 6}, 3, 0},
        {"late arrival fills its gap", {1, 3, 2, 4}, 4, 0},
        {"largest gap counted", {10, 61}, 2, 50},
        {"restarted client resynchronises", {500, 3, 4}, 3, 0},
        {"numbers outside the client's range", {1, -1, 1000, 2}, 4, 0},
        {"short datagram between", {1, -1, 3}, 3, 1},
    };
    for (const Row& row : rows) {
        ClientCounter counter;
        for (std::int32_t s : row.sequences) CountClientDatagram(&counter, s);
        EXPECT_EQ(counter.total, row.total) << row.what;
        EXPECT_EQ(counter.missed, row.missed) << row.what;
    }
}

}  // namespace
}  // namespace dbnode
