// The windows' budget, on a clock the test moves by hand: cycles woken by
// data are merged until a token comes, and nothing is ever lost.
#include <gtest/gtest.h>

#include <map>

#include "model/window_pace.h"

namespace {

using model::ControlChange;
using model::RefreshWake;
using model::WindowPace;
using std::chrono::milliseconds;

ControlChange Change(int panel, int id, const char* text) { return ControlChange{panel, {id, text, false, true}}; }

TEST(WindowPaceTest, DataCyclesMergeUntilATokenAndTheWindowEndsAsTheModel) {
    WindowPace pace(4, 2);  // two at once, then one each 250 ms
    WindowPace::Clock::time_point now{};
    std::vector<ControlChange> out;
    std::map<std::pair<int, int>, std::string> window, model;
    int handOvers = 0;
    // Twenty cycles a second for two seconds, one value changing at each.
    for (int i = 0; i < 40; ++i, now += milliseconds(50)) {
        const ControlChange batch[] = {Change(0, 100, std::to_string(i).c_str()), Change(i % 2, 200 + i % 3, "x")};
        for (const ControlChange& c : batch) model[{c.panel, c.state.id}] = c.state.text;
        pace.Add(batch, 2);
        if (!pace.Take(now, RefreshWake::Data, &out)) continue;
        ++handOvers;
        std::map<std::pair<int, int>, int> seen;
        for (const ControlChange& c : out) {
            const std::pair<int, int> key{c.panel, c.state.id};
            EXPECT_EQ(++seen[key], 1);  // merged: one entry a control
            window[key] = c.state.text;
        }
    }
    EXPECT_GE(handOvers, 9);  // the burst, then four a second
    EXPECT_LE(handOvers, 11);
    if (pace.Pending()) {
        EXPECT_TRUE(pace.Take(now, RefreshWake::Floor, &out));  // the floor always hands over
    }
    for (const ControlChange& c : out) window[{c.panel, c.state.id}] = c.state.text;
    EXPECT_EQ(window, model);
    EXPECT_FALSE(pace.Pending());
}

TEST(WindowPaceTest, APilotsCycleHandsOverAtOnceAndEarnsTheAnswer) {
    WindowPace pace(4, 4);
    WindowPace::Clock::time_point now{};
    std::vector<ControlChange> out;
    const ControlChange c = Change(1, 7, "a");
    for (int i = 0; i < 4; ++i) {  // spends the burst
        pace.Add(&c, 1);
        ASSERT_TRUE(pace.Take(now, RefreshWake::Data, &out));
    }
    pace.Add(&c, 1);
    EXPECT_FALSE(pace.Take(now, RefreshWake::Data, &out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(pace.Take(now += milliseconds(10), RefreshWake::Pilot, &out));
    ASSERT_EQ(out.size(), 1u);
    pace.Add(&c, 1);
    EXPECT_TRUE(pace.Take(now += milliseconds(10), RefreshWake::Data, &out));  // the node's answer
    EXPECT_FALSE(pace.Take(now, RefreshWake::Pilot, &out));  // nothing pending: nothing handed

    // A push button's command changes nothing itself: its cycle hands nothing
    // over, yet the node's answer still shows at once, budget spent or not.
    while ((pace.Add(&c, 1), pace.Take(now, RefreshWake::Data, &out))) {
    }
    EXPECT_TRUE(pace.Take(now, RefreshWake::Floor, &out));
    EXPECT_FALSE(pace.Take(now += milliseconds(10), RefreshWake::Pilot, &out));
    pace.Add(&c, 1);
    EXPECT_TRUE(pace.Take(now += milliseconds(10), RefreshWake::Data, &out));

    WindowPace unlimited(0, 1);  // no budget: every cycle
    for (int i = 0; i < 30; ++i) {
        unlimited.Add(&c, 1);
        EXPECT_TRUE(unlimited.Take(now, RefreshWake::Data, &out));
    }
}

}  // namespace
