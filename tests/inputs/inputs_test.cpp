// The pure parts every input device shares.
#include <gtest/gtest.h>

#include <vector>

#include "inputs/axis.h"
#include "inputs/identity.h"
#include "inputs/learn.h"

namespace {

using inputs::AxisCalibration;

TEST(Axis, CalibrationAndDeadBand) {
    AxisCalibration learned;
    inputs::CalibrationBegin(&learned, 300);
    for (int raw : {9000, -31000, 32000, 5}) inputs::CalibrationSee(&learned, raw);
    EXPECT_EQ((std::vector<int>{learned.minimum, learned.centre, learned.maximum}),
              (std::vector<int>{-31000, 300, 32000}));
    const struct { AxisCalibration c; int raw; double band, want; } cases[] = {
        {{-32768, 0, 32767}, 32767, 0, 1}, {{-32768, 0, 32767}, -32768, 0, -1}, {{-32768, 0, 32767}, 0, 0, 0},
        {{-30000, 2000, 30000}, -14000, 0, -0.5}, {{-30000, 2000, 30000}, 16000, 0, 0.5},  // off-centre rest
        {{-30000, 2000, 30000}, 32767, 0, 1}, {{-30000, 2000, 30000}, -32768, 0, -1},     // past the range
        {{0, 0, 1000}, 500, 0, 0}, {{0, 0, 1000}, 750, 0, 0.5}, {{0, 1000, 1000}, 0, 0, -1},  // levers
        {{0, 512, 1023}, 1023, 0, 1}, {{7, 7, 7}, 7, 0, 0},                                  // a pot; no range
        {{-1000, 0, 1000}, 40, 0.05, 0}, {{-1000, 0, 1000}, -50, 0.05, 0},                   // in the band
        {{-1000, 0, 1000}, 525, 0.05, 0.5}, {{-1000, 0, 1000}, -1000, 0.05, -1},             // stretched
    };
    for (const auto& c : cases)
        EXPECT_NEAR(inputs::AxisDeadBand(inputs::AxisNormalise(c.c, c.raw), c.band), c.want, 1e-4)
            << c.c.minimum << " " << c.c.centre << " " << c.c.maximum << " raw " << c.raw;
}

TEST(Axis, ZonesHoldTheirEdgesByHysteresis) {
    const inputs::AxisZones zones{{-0.5, 0.0, 0.5}, 0.05};
    const struct { const char* what; std::vector<double> values; std::vector<int> want; } cases[] = {
        {"the first value takes its zone", {0.7}, {3}},
        {"on an edge: the upper zone", {0.0}, {2}},
        {"short of the hysteresis holds", {-0.2, 0.03, 0.0499, -0.01}, {1, 1, 1, 1}},
        {"past it moves, and back", {-0.2, 0.05, 0.01, -0.0499, -0.05}, {1, 2, 2, 2, 1}},
        {"a sweep over every detent", {-0.9, 0.9, -0.9, 0.6}, {0, 3, 0, 3}},
    };
    for (const auto& c : cases) {
        inputs::AxisState s;
        std::vector<int> got;
        for (double v : c.values) got.push_back(inputs::AxisZone(zones, &s, v));
        EXPECT_EQ(got, c.want) << c.what;
    }
    // Noise around each edge, from either side, never flips the zone.
    for (int edge = 0; edge < 3; ++edge)
        for (int from : {edge, edge + 1}) {
            inputs::AxisState s;
            inputs::AxisZone(zones, &s, zones.edges[edge] + (from == edge ? -0.2 : 0.2));
            for (int i = 0; i < 100; ++i)
                EXPECT_EQ(inputs::AxisZone(zones, &s, zones.edges[edge] + ((i * 37) % 99 - 49) / 1000.0), from);
        }
    // The whole chain: a stick with a dead band and a detent at three quarters.
    const inputs::AxisConfig stick{{-32768, 0, 32767}, 0.1, {{-0.5, 0.75}, 0.02}};
    inputs::AxisState s;
    std::vector<int> got;
    for (int raw : {-2000, 2000, 3300, 25900, 26800, 32767, 25000, 24000})
        got.push_back(inputs::AxisStep(stick, &s, raw));
    EXPECT_EQ(got, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 1}));
}

TEST(Identity, AConfiguredControllerFindsItsDevice) {
    using O = inputs::MatchOutcome;
    const std::vector<inputs::AttachedDevice> attached = {
        {0x044f, 0xb10a, "Stick", "", 5}, {0x044f, 0xb10a, "Stick", "", 2},
        {0x06a3, 0x0762, "Throttle", "T-1", 1}, {0x06a3, 0x0762, "Throttle", "T-2", 3},
        {0x16c0, 0x05ba, "Button Box", "", 4},
    };
    const struct { const char* what; inputs::DeviceIdentity id; O outcome; int index; } cases[] = {
        {"by serial", {0x06a3, 0x0762, "Throttle", "T-2", 0}, O::Found, 3},
        {"a serial not attached", {0x06a3, 0x0762, "Throttle", "T-9", 0}, O::NotConnected, -1},
        {"a serial of another product", {0x06a3, 0x0763, "Throttle", "T-1", 0}, O::NotConnected, -1},
        {"first among twins by attach order", {0x044f, 0xb10a, "Stick", "", 1}, O::Found, 1},
        {"second among twins", {0x044f, 0xb10a, "Stick", "", 2}, O::Found, 0},
        {"a third twin", {0x044f, 0xb10a, "Stick", "", 3}, O::NotConnected, -1},
        {"an order among devices with serials", {0x06a3, 0x0762, "Throttle", "", 1}, O::NotConnected, -1},
        {"twins and no order", {0x044f, 0xb10a, "Stick", "", 0}, O::TwoMatch, -1},
        {"two with serials, none given", {0x06a3, 0x0762, "Throttle", "", 0}, O::TwoMatch, -1},
        {"the only one", {0x16c0, 0x05ba, "Button Box", "", 0}, O::Found, 4},
        {"another name", {0x16c0, 0x05ba, "Pedals", "", 0}, O::NotConnected, -1},
        {"another vendor", {0x16c1, 0x05ba, "Button Box", "", 0}, O::NotConnected, -1},
    };
    for (const auto& c : cases) {
        const inputs::DeviceMatch m = inputs::MatchDevice(c.id, attached);
        EXPECT_EQ(m.outcome, c.outcome) << c.what;
        EXPECT_EQ(m.index, c.index) << c.what;
    }
    EXPECT_EQ(inputs::MatchDevice(cases[0].id, {}).outcome, O::NotConnected);
}

TEST(InputsLearn, AControllersButtonsAreOfferedAsTheyBehave) {
    using O = model::PinOffer;
    struct Seen { int pin; O offer; int pair; bool a, pulses; bool operator==(const Seen&) const = default; };
    const O B = O::Button, S = O::Switch, E = O::Encoder;
    const struct {
        const char* what;
        bool pulsePairs;  // a controller's
        std::vector<inputs::LearnEvent> events;
        std::vector<Seen> want;
    } cases[] = {
        {"a press", true, {{3, true, 0}, {3, false, 150}}, {{3, B, 0, false, false}}},
        {"held", true, {{3, true, 0}}, {{3, S, 0, false, false}}},
        {"quadrature, A first", true, {{4, true, 0}, {5, true, 10}, {4, false, 20}, {5, false, 30}},
         {{4, E, 5, true, false}, {5, E, 4, false, false}}},
        {"pulses clockwise, then back: the first is up", true,
         {{9, true, 0}, {9, false, 30}, {9, true, 200}, {9, false, 230}, {12, true, 900}, {12, false, 930},
          {9, true, 1500}, {9, false, 1530}, {12, true, 1800}, {12, false, 1830}},
         {{9, E, 12, true, true}, {12, E, 9, false, true}}},
        {"pulses, the other button first", true, {{12, true, 0}, {12, false, 20}, {9, true, 500}, {9, false, 520}},
         {{12, E, 9, true, true}, {9, E, 12, false, true}}},
        {"a press, then a pulse", true, {{2, true, 0}, {2, false, 150}, {3, true, 300}, {3, false, 330}},
         {{2, B, 0, false, false}, {3, B, 0, false, false}}},
        {"a pulse, then a press", true, {{2, true, 0}, {2, false, 30}, {3, true, 300}, {3, false, 450}},
         {{2, B, 0, false, false}, {3, B, 0, false, false}}},
        {"pulses too far apart", true, {{9, true, 0}, {9, false, 30}, {12, true, 2500}, {12, false, 2530}},
         {{9, B, 0, false, false}, {12, B, 0, false, false}}},
        {"a board's pins never pulse in pairs", false,
         {{9, true, 0}, {9, false, 30}, {12, true, 900}, {12, false, 930}},
         {{9, B, 0, false, false}, {12, B, 0, false, false}}},
    };
    for (const auto& c : cases) {
        inputs::LearnState s;
        s.pulsePairs = c.pulsePairs;
        for (const inputs::LearnEvent& e : c.events) {
            inputs::LearnTick(&s, e.ms);
            inputs::LearnInput(&s, e.pin, e.closed, e.ms);
        }
        inputs::LearnTick(&s, c.events.back().ms + inputs::kLearnHoldMs);
        std::vector<Seen> got;
        for (const model::LearnPin& p : s.pins) got.push_back({p.pin, p.offer, p.pairPin, p.encoderA, p.pulses});
        EXPECT_EQ(got, c.want) << c.what;
    }
}

}  // namespace
