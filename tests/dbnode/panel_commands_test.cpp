// What the node streams back for each command the panels and keys send: a
// client is simulated at the datagram level (no sockets), and every value
// the node sends is collected as the client's table would hold it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "protocol/wire.h"
#include "tools/dbnode/codec.h"
#include "tools/dbnode/node.h"
#include "tools/dbnode/radios.h"

namespace dbnode {
namespace {

class Client {
public:
    explicit Client(bool airborne = true) {
        out_ = open_memstream(&text_, &size_);
        NodeConfig config;
        config.airborne = airborne;
        config.start[0] = 47.0;
        config.start[1] = 8.0;
        config.start[2] = 90.0;
        config.start[3] = 5000.0;
        config.start[4] = 250.0;
        config.posEverySec = 0;
        std::string error;
        EXPECT_TRUE(InitNode(&node, config, out_, &error)) << error;
        std::vector<unsigned char> d(kHeaderSize);
        EncodeHeader(d.data(), DatagramHeader{2, 9, NextSequence(), 0, 15});
        const char request[] = "127.0.0.1 9099 1 2\n";
        d.insert(d.end(), request, request + std::strlen(request));
        std::vector<Outgoing> sends;
        HandleRequestDatagram(&node, d.data(), d.size(), &sends);
        Take(sends);
        Pump();
    }
    ~Client() {
        std::fclose(out_);
        std::free(text_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // One variable set from the client, as the panels and keys send it.
    void Set(int index, double value) {
        unsigned char buf[64];
        const UpdateItem item{index, value};
        int encoded = 0;
        const std::size_t n = EncodeUpdate(buf, sizeof buf, NextSequence(), &item, 1, &encoded);
        ASSERT_EQ(encoded, 1) << index;
        std::vector<Outgoing> sends;
        HandleDataDatagram(&node, buf, n, &sends);
        Take(sends);
    }
    // Lets `seconds` of real time pass and takes what the node sends.
    void Pump(double seconds = 0.1) {
        now_ += seconds;
        std::vector<Outgoing> sends;
        TickNode(&node, now_, &sends);
        Take(sends);
    }
    double Value(int index) const {
        const auto it = streamed_.find(index);
        return it == streamed_.end() ? std::nan("") : it->second;
    }
    bool Has(int index) const { return streamed_.count(index) != 0; }
    std::string Output() {
        std::fflush(out_);
        return std::string(text_, size_);
    }
    std::int32_t NextSequence() { return sequence_ = sequence_ >= 999 ? 0 : sequence_ + 1; }
    void SkipSequence() { NextSequence(); }

    Node node;

private:
    void Take(const std::vector<Outgoing>& sends) {
        for (const Outgoing& o : sends) {
            ASSERT_GE(o.bytes.size(), kHeaderSize);
            const DatagramHeader h = DecodeHeader(o.bytes.data());
            if (h.msgClass != kClassData || h.msgType != kMsgVarUpdate) continue;
            std::vector<UpdateItem> items;
            ASSERT_EQ(DecodeUpdate(o.bytes.data(), o.bytes.size(), &items), DecodeStatus::kOk);
            for (const UpdateItem& item : items) streamed_[item.index] = item.value;
        }
    }

    std::FILE* out_ = nullptr;
    char* text_ = nullptr;
    std::size_t size_ = 0;
    double now_ = 0;
    std::int32_t sequence_ = 0;
    std::map<int, double> streamed_;
};

struct Echo {
    int command;
    double value;
    int reported;    // the variable that answers
    double expected;
};

// Each row starts from a freshly connected airborne node (autopilot, flight
// director and holds on) and must change what the client sees.
void ExpectAnswers(const std::vector<Echo>& rows, bool airborne = true) {
    for (const Echo& row : rows) {
        SCOPED_TRACE("command " + std::to_string(row.command) + " = " + std::to_string(row.value));
        Client client(airborne);
        ASSERT_TRUE(client.Has(row.reported)) << "not in the first full refresh";
        EXPECT_NE(client.Value(row.reported), row.expected) << "the row would prove nothing";
        client.Set(row.command, row.value);
        client.Pump();
        EXPECT_NEAR(client.Value(row.reported), row.expected, 1e-9);
    }
}

TEST(PanelCommands, ModeCommandsReportTheirStates) {
    ExpectAnswers({
        {172, 0, 170, 0}, {173, 0, 171, 0}, {108, 1, 111, 1}, {109, 1, 113, 1}, {184, 1, 121, 1},
        // Holds, TO/GA, LNAV and VNAV are their own state
        {50, 0, 50, 0}, {25, 0, 25, 0}, {22, 0, 22, 0}, {211, 1, 211, 1},
        {217, 1, 217, 1}, {218, 1, 218, 1}, {219, 1, 219, 1}, {220, 1, 220, 1},
    });
    ExpectAnswers({{172, 1, 170, 1}, {173, 1, 171, 1}}, false);
}

TEST(PanelCommands, SetPointsComeBackAsSelectedValues) {
    ExpectAnswers({
        {122, 275, 15, 275.0}, {122, 360, 15, 0.0}, {123, 12000, 14, 12000.0}, {124, 280, 17, 280.0},
        {118, 355, 67, 355.0}, {119, 10, 68, 10.0},
    });
}

TEST(PanelCommands, DisplaySettingsAndSwitchesEcho) {
    ExpectAnswers({
        {202, 3, 202, 3}, {203, 1, 203, 1}, {191, 7, 191, 7}, {190, 0, 190, 0},
        {199, 0, 199, 0}, {200, 0, 200, 0}, {201, 1, 201, 1}, {196, 0, 196, 0}, {197, 0, 197, 0}, {198, 1, 198, 1},
        {223, 0, 223, 0}, {224, 1, 224, 1}, {225, 0, 225, 0}, {226, 1, 226, 1},
        {185, 0, 185, 0}, {85, 0, 85, 0}, {47, 1, 47, 1}, {72, 3, 72, 3}, {194, 1, 194, 1}, {195, 1, 195, 1},
    });
}

TEST(PanelCommands, RadioCommandsTuneAndSwap) {
    struct Row {
        int command;
        double value;
        Echo expect[2];  // {_, _, variable, value}
    };
    const Row rows[] = {
        // transfers
        {90, 0, {{0, 0, 86, 121.5}, {0, 0, 88, 118.7}}},
        {91, 0, {{0, 0, 87, 119.1}, {0, 0, 89, 122.8}}},
        {74, 0, {{0, 0, 27, 113.9}, {0, 0, 30, 110.5}}},
        {75, 0, {{0, 0, 66, 111.7}, {0, 0, 73, 108.0}}},
        // COM steps change standby only: coarse 1 MHz, fine 25 kHz
        {92, 0, {{0, 0, 88, 122.5}, {0, 0, 86, 118.7}}},
        {96, 0, {{0, 0, 88, 120.5}, {0, 0, 86, 118.7}}},
        {94, 0, {{0, 0, 88, 121.525}, {0, 0, 86, 118.7}}},
        {98, 0, {{0, 0, 88, 121.475}, {0, 0, 86, 118.7}}},
        {93, 0, {{0, 0, 89, 120.1}, {0, 0, 87, 122.8}}},
        {97, 0, {{0, 0, 89, 118.1}, {0, 0, 87, 122.8}}},
        {95, 0, {{0, 0, 89, 119.125}, {0, 0, 87, 122.8}}},
        {99, 0, {{0, 0, 89, 119.075}, {0, 0, 87, 122.8}}},
        // NAV steps: coarse 1 MHz, fine 50 kHz
        {76, 0, {{0, 0, 30, 114.9}, {0, 0, 27, 110.5}}},
        {80, 0, {{0, 0, 30, 112.9}, {0, 0, 27, 110.5}}},
        {78, 0, {{0, 0, 30, 113.95}, {0, 0, 27, 110.5}}},
        {82, 0, {{0, 0, 30, 113.85}, {0, 0, 27, 110.5}}},
        {77, 0, {{0, 0, 73, 112.7}, {0, 0, 66, 108.0}}},
        {81, 0, {{0, 0, 73, 110.7}, {0, 0, 66, 108.0}}},
        {79, 0, {{0, 0, 73, 111.75}, {0, 0, 66, 108.0}}},
        {83, 0, {{0, 0, 73, 111.65}, {0, 0, 66, 108.0}}},
        // ADF standby by the amount carried, in tenths; the active stays
        {180, 100, {{0, 0, 229, 2880}, {0, 0, 227, 3455}}},
        {180, 1000, {{0, 0, 229, 3780}, {0, 0, 227, 3455}}},
        {182, 1000, {{0, 0, 229, 17880}, {0, 0, 227, 3455}}},  // wraps below 190.0
        {181, 10, {{0, 0, 230, 4160}, {0, 0, 228, 3620}}},
        {183, 1, {{0, 0, 230, 4149}, {0, 0, 228, 3620}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("command " + std::to_string(row.command));
        Client client;
        client.Set(row.command, row.value);
        client.Pump();
        for (const Echo& e : row.expect) EXPECT_NEAR(client.Value(e.reported), e.expected, 1e-9) << e.reported;
    }
}

TEST(Radios, StepsWrapWithinTheBandAndDoNotDrift) {
    struct Row {
        double standby;
        int command;
        double value;
        double expected;
    };
    const Row com[] = {{136.975, 92, 0, 118.975}, {118.0, 96, 0, 136.0}, {118.975, 94, 0, 118.0}, {118.0, 98, 0, 118.975}};
    for (const Row& row : com) {
        Radios r;
        r.comStandby[0] = row.standby;
        ASSERT_TRUE(ApplyRadioCommand(&r, row.command, row.value));
        EXPECT_NEAR(r.comStandby[0], row.expected, 1e-9) << row.command << " from " << row.standby;
    }
    const Row nav[] = {{117.95, 76, 0, 108.95}, {108.0, 80, 0, 117.0}, {117.95, 78, 0, 117.0}, {108.0, 82, 0, 108.95}};
    for (const Row& row : nav) {
        Radios r;
        r.navStandby[0] = row.standby;
        ASSERT_TRUE(ApplyRadioCommand(&r, row.command, row.value));
        EXPECT_NEAR(r.navStandby[0], row.expected, 1e-9) << row.command << " from " << row.standby;
    }
    const Row adf[] = {
        {17999, 180, 1, 1900}, {1900, 182, 1, 17999}, {3455, 180, 2e9, -1}, {3455, 182, 2e9, -1},
        {3455, 180, std::nan(""), 3455}, {3455, 180, 1e300, -1},
    };
    for (const Row& row : adf) {
        Radios r;
        r.adfStandby[0] = static_cast<std::int32_t>(row.standby);
        ASSERT_TRUE(ApplyRadioCommand(&r, row.command, row.value));
        if (row.expected >= 0) {
            EXPECT_EQ(r.adfStandby[0], row.expected) << row.command << " " << row.value;
        }
        EXPECT_GE(r.adfStandby[0], kAdfLowTenths);
        EXPECT_LE(r.adfStandby[0], kAdfHighTenths);
    }
    // A full turn of the fine knob comes back to the very same frequency.
    Radios r;
    for (int i = 0; i < 40; ++i) ApplyRadioCommand(&r, 94, 0);
    EXPECT_EQ(r.comStandby[0], 121.5);
    for (int i = 0; i < 20; ++i) ApplyRadioCommand(&r, 82, 0);
    EXPECT_EQ(r.navStandby[0], 113.9);
}

// Every field the panels show has a real value from the first full refresh.
TEST(PanelCommands, FirstRefreshFillsEveryPanelField) {
    Client airborne;
    const struct {
        int index;
        double value;
    } expected[] = {
        {6, 90}, {54, 5000}, {8, 250}, {7, 29.92}, {58, 200}, {47, 0}, {72, 0}, {185, 1}, {85, 1},
        {194, 0}, {195, 0}, {233, 1}, {234, 0},
        {15, 90}, {14, 5000}, {17, 250}, {170, 1}, {171, 1}, {50, 1}, {25, 1}, {22, 1}, {111, 0}, {113, 0},
        {121, 0}, {211, 0}, {217, 0}, {218, 0}, {219, 0}, {220, 0},
        {86, 118.7}, {88, 121.5}, {87, 122.8}, {89, 119.1}, {27, 110.5}, {30, 113.9}, {66, 108.0}, {73, 111.7},
        {227, 3455}, {229, 2780}, {228, 3620}, {230, 4150},
        {202, 0}, {203, 0}, {191, 2}, {190, 2}, {199, 1}, {200, 1}, {201, 0}, {196, 1}, {197, 1}, {198, 0},
        {223, 1}, {224, 0}, {225, 1}, {226, 0}, {67, 0}, {68, 0}, {52, 1},
    };
    for (const auto& e : expected) {
        ASSERT_TRUE(airborne.Has(e.index)) << e.index;
        EXPECT_NEAR(airborne.Value(e.index), e.value, 1e-9) << e.index;
    }
    Client onGround(false);
    EXPECT_EQ(onGround.Value(47), 1);  // gear down
    EXPECT_EQ(onGround.Value(72), 1);  // flaps at the take-off detent, so TO/GA can be used
}

TEST(PanelCommands, PauseFreezesTheAircraft) {
    Client client;
    client.Set(185, 0);
    client.Pump();
    const double longitude = client.Value(12);
    const double simTime = client.node.simTime;
    for (int i = 0; i < 20; ++i) client.Pump(0.5);
    EXPECT_EQ(client.Value(12), longitude);
    EXPECT_EQ(client.node.simTime, simTime);
    EXPECT_EQ(client.Value(185), 0);
    client.Set(185, 1);
    client.Pump(1.0);
    EXPECT_GT(client.Value(12), longitude);
    EXPECT_EQ(client.Value(185), 1);
}

TEST(PanelCommands, MessageCountersFollowTheClient) {
    Client client;  // its address request counted
    client.Set(194, 1);
    client.SkipSequence();
    client.SkipSequence();
    client.Set(194, 0);
    client.Pump();
    EXPECT_EQ(client.Value(233), 3);
    EXPECT_EQ(client.Value(234), 2);
}

// The printed transcript: each set, then what it changed, on lines of their
// own so that "SET n = v" lines stay exactly that.
TEST(PanelCommands, PrintsEachEffectUnderItsSet) {
    Client client;
    client.Set(172, 0);
    client.Set(90, 0);
    const std::string out = client.Output();
    EXPECT_NE(out.find("SET 172 = 0\n  -> 170 = 0 autopilot engaged\n"), std::string::npos) << out;
    EXPECT_NE(out.find("SET 90 = 0\n  -> 86 = 121.5 COM1 active\n  -> 88 = 118.7 COM1 standby\n"), std::string::npos)
        << out;
}

}  // namespace
}  // namespace dbnode
