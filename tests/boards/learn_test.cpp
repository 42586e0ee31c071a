// Learn's pure parts: how the builder's working of a pin is read, and the
// configuration a board in Learn gets, one line at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "boards/learn.h"

namespace {

using O = model::PinOffer;
constexpr O U = O::Unknown, B = O::Button, S = O::Switch, E = O::Encoder;

struct Seen {
    int pin;
    O offer;
    int pair;
    bool a = false;  // an encoder's A
    friend bool operator==(const Seen&, const Seen&) = default;
};

struct Case {
    const char* what;
    std::vector<boards::LearnEvent> events;  // closed: D, else U
    std::int64_t endMs;                      // the clock when looked at
    std::vector<Seen> offers;  // each pin seen, in order
};

TEST(Learn, InputsAreOfferedAsTheyBehave) {
    const std::vector<Case> cases = {
        {"a press and release within a second", {{7, true, 0}, {7, false, 150}}, 2000, {{7, B, 0}}},
        {"closed and left", {{7, true, 0}}, 1500, {{7, S, 0}}},
        {"closed and not yet a second", {{7, true, 0}}, 900, {{7, U, 0}}},
        {"opened after being closed long", {{7, true, 0}, {7, false, 3000}}, 4100, {{7, S, 0}}},
        {"a detent, A first", {{4, true, 0}, {5, true, 10}, {4, false, 20}, {5, false, 30}}, 40,
         {{4, E, 5, true}, {5, E, 4}}},
        {"a detent, B first: B is then A", {{5, true, 0}, {4, true, 10}, {5, false, 20}, {4, false, 30}}, 40,
         {{5, E, 4, true}, {4, E, 5}}},
        {"the first turn decides, a later one back keeps the pair",
         {{4, true, 0}, {5, true, 10}, {4, false, 20}, {5, false, 30},
          {5, true, 500}, {4, true, 510}, {5, false, 520}, {4, false, 530}},
         3000, {{4, E, 5, true}, {5, E, 4}}},
        {"two buttons one after the other", {{2, true, 0}, {2, false, 100}, {3, true, 200}, {3, false, 300}}, 2000,
         {{2, B, 0}, {3, B, 0}}},
        {"too slow for a detent", {{4, true, 0}, {5, true, 600}, {4, false, 1200}, {5, false, 1800}}, 1900,
         {{4, S, 0}, {5, S, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boards::LearnState s;
        for (const boards::LearnEvent& e : c.events) {
            boards::LearnTick(&s, e.ms);
            boards::LearnInput(&s, e.pin, e.closed, e.ms);
        }
        boards::LearnTick(&s, c.endMs);
        std::vector<Seen> got;
        for (const model::LearnPin& p : s.pins) got.push_back({p.pin, p.offer, p.pairPin, p.encoderA});
        EXPECT_EQ(got, c.offers);
    }
}

TEST(Learn, SwitchPositionAfterReadyIsNoChange) {
    boards::LearnState s;
    boards::LearnLevel(&s, 3, true);
    EXPECT_EQ(boards::LearnNextDue(&s), -1);
    boards::LearnInput(&s, 3, false, 100);
    EXPECT_EQ(boards::LearnNextDue(&s), 100 + boards::kLearnHoldMs);
    EXPECT_TRUE(boards::LearnTick(&s, 1100));
    EXPECT_EQ(s.pins[0].offer, model::PinOffer::Switch);
    EXPECT_EQ(s.pins[0].changes, 1);
}

boards::BoardMap Mapped() {
    boards::BoardMap map{"mcp", "ttyB", {}, {}};
    map.inputs.push_back({boards::InputKind::Button, 2, 0, {}});
    map.inputs.push_back({boards::InputKind::Encoder, 4, 5, {}});
    boards::OutputMap led;
    led.pin = 6;
    boards::OutputMap display;
    display.display = true, display.pin = 10, display.clk = 11, display.cs = 12;
    map.outputs = {led, display};
    return map;
}

TEST(Learn, ConfigurationKeepsTheMapAndWatchesEveryFreePin) {
    const boards::BoardMap map = Mapped();
    boards::IdentifyPins identify;
    identify.pins = {13, 14, 15};
    std::vector<int> free;
    const std::vector<std::string> lines = boards::LearnLines(map, &identify, &free);
    std::vector<std::string> head(lines.begin(), lines.begin() + 5);
    std::vector<std::string> mapped = boards::ConfigurationLines(map);
    mapped.pop_back();
    EXPECT_EQ(head, mapped);
    EXPECT_EQ(lines[5], "BTN 20");  // tells a small board first
    EXPECT_EQ(lines[6], "BTN 3");
    EXPECT_EQ(free.size(), static_cast<std::size_t>(board_rules::kLargest.pinLimit - 2 - 7 - 3));
    for (int used : {2, 4, 5, 6, 10, 11, 12, 13, 14, 15})
        EXPECT_EQ(std::count(lines.begin() + 5, lines.end(), "BTN " + std::to_string(used)), 0) << used;
    EXPECT_EQ(lines[lines.size() - 2], "DISP 1 13 14 15");  // slot 0 is the map's
    EXPECT_EQ(lines.back(), "DONE");
    EXPECT_EQ(boards::IdentifyLine(identify), "T 1 8.8.8.8.8.8.8.8");
    // The map's own display is lit where it is, not configured twice.
    identify.pins = {10, 11, 12};
    const std::vector<std::string> again = boards::LearnLines(map, &identify, &free);
    EXPECT_EQ(std::count_if(again.begin(), again.end(), [](const std::string& l) { return l.rfind("DISP", 0) == 0; }), 1);
    EXPECT_EQ(boards::IdentifyLine(identify), "T 0 8.8.8.8.8.8.8.8");
}

// A Nano answering: pins from 20 up do not exist, and it watches 16 inputs.
TEST(Learn, ConfigurationIsPacedAndRefusalsAreListed) {
    boards::BoardMap map{"mcp", "ttyB", {}, {}};
    boards::IdentifyPins none;
    std::vector<int> free;
    boards::LearnPacer pacer;
    boards::PacerInit(&pacer, boards::LearnLines(map, &none, &free));
    int inputs = 0, sent = 0;
    std::vector<std::string> written;
    for (int guard = 0; guard < 200 && !boards::PacerDone(&pacer); ++guard) {
        const std::vector<std::string> out = boards::PacerNext(&pacer);
        ASSERT_FALSE(out.empty());
        EXPECT_TRUE(boards::PacerNext(&pacer).empty()) << "a second line before the board read the first";
        const std::string body = out[0].substr(0, out[0].find('*'));
        written.push_back(body);
        ++sent;
        if (out.size() == 1) break;  // DONE
        boards::BoardLine reply;
        if (body.rfind("BTN ", 0) == 0) {
            const int pin = std::stoi(body.substr(4));
            if (pin >= 20 || inputs == board_rules::kAtmega328p.inputs) {
                reply.verb = boards::Verb::Err;
                reply.text = pin >= 20 ? "pin" : "full";
                boards::PacerHeard(&pacer, reply);
            } else {
                ++inputs;
            }
        }
        reply = boards::BoardLine{};
        reply.verb = boards::Verb::Pong;
        reply.a = std::stoi(out[1].substr(5));
        boards::PacerHeard(&pacer, reply);
    }
    EXPECT_TRUE(boards::PacerDone(&pacer));
    EXPECT_EQ(written.back(), "DONE");
    EXPECT_EQ(pacer.refused, (std::vector<int>{18, 19}));
    EXPECT_EQ(std::count(written.begin(), written.end(), "BTN 21"), 0);  // a small board: not asked
}

}  // namespace
