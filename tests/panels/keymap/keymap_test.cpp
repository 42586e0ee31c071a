// The keyboard map against the recording stand-in for the variable
// operations: what each key sets, through which path, in which order.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "panels/keymap.h"
#include "test_log.h"
#include "var_standin.h"

namespace {

using standin::Path;
using standin::Set;
using Sets = std::vector<Set>;

constexpr Path K = Path::KeyCRi;
constexpr Path S = Path::SetIntVar;
constexpr Path Drop = Path::Dropped;

constexpr int kF3 = kVkF1 + 2, kF4 = kVkF1 + 3, kF5 = kVkF1 + 4, kF6 = kVkF1 + 5,
              kF7 = kVkF1 + 6;

class KeyMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        keyBusy = false;
        controlHeld = false;
        standin::Reset();
    }
    TempLog log_;
};

void Press(int key) {
    KeyDown(nullptr, key);
    KeyUp(nullptr, key);
}

// The way a user gets a Control variant: Control goes down (and makes the
// map busy), the first press of the key is ignored, its release frees the
// map, the second press acts.
void PressWithControl(int key) {
    KeyDown(nullptr, kVkControl);
    KeyDown(nullptr, key);
    KeyUp(nullptr, key);
    KeyDown(nullptr, key);
    KeyUp(nullptr, key);
    KeyUp(nullptr, kVkControl);
}

struct KeyCase {
    const char* name;
    int key;
    bool control;
    std::map<std::int32_t, std::int32_t> values;
    Sets expected;
};

const std::vector<KeyCase>& KeyTable() {
    static const std::vector<KeyCase> table = {
        {"Left", kVkLeft, false, {}, {{106, 3, K}}},
        {"CtrlLeft", kVkLeft, true, {}, {{106, 4, K}}},
        {"Up", kVkUp, false, {}, {{105, 1, K}}},
        {"CtrlUp", kVkUp, true, {}, {{105, 2, K}}},
        {"Right", kVkRight, false, {}, {{106, 1, K}}},
        {"CtrlRight", kVkRight, true, {}, {{106, 2, K}}},
        {"Down", kVkDown, false, {}, {{105, 3, K}}},
        {"CtrlDown", kVkDown, true, {}, {{105, 4, K}}},
        {"Digit1", '1', false, {{208, 2}}, {{208, 0, S}}},
        {"Digit2", '2', false, {}, {{208, 1, S}}},
        {"Digit3", '3', false, {}, {{208, 2, S}}},
        {"Digit4", '4', false, {}, {{208, 3, S}}},
        {"Digit9On", '9', false, {}, {{209, 1, S}}},
        {"Digit9Off", '9', false, {{209, 5}}, {{209, 0, S}}},
        {"AOn", 'A', false, {}, {{25, 1, K}}},
        {"AOff", 'A', false, {{25, 1}}, {{25, 0, K}}},
        {"BDown", 'B', false, {{190, 3}}, {{190, 2, K}}},
        {"BAtZero", 'B', false, {{190, 0}}, {{190, 0, K}}},
        {"CtrlBUp", 'B', true, {{190, 3}}, {{190, 4, K}}},
        {"CtrlBAtSeven", 'B', true, {{190, 7}}, {{190, 7, K}}},
        {"BAtIntMin", 'B', false, {{190, INT32_MIN}}, {{190, 0, K}}},
        {"CtrlBAtIntMax", 'B', true, {{190, INT32_MAX}}, {{190, 7, K}}},
        {"CtrlVAtIntMin", 'V', true, {{191, INT32_MIN}}, {{191, 0, K}}},
        {"VAtIntMax", 'V', false, {{191, INT32_MAX}}, {{191, 7, K}}},
        {"CFromZero", 'C', false, {}, {{202, 1, K}}},
        {"CFromThree", 'C', false, {{202, 3}}, {{202, 0, K}}},
        {"CFromFive", 'C', false, {{202, 5}}, {{202, 0, K}}},
        {"CFromMinusOne", 'C', false, {{202, -1}}, {{202, 0, K}}},
        {"DEngage", 'D', false, {{173, 1}}, {{173, 1, K}}},
        {"DDisengage", 'D', false, {{171, 1}}, {{173, 0, K}}},
        {"F", 'F', false, {{194, 1}}, {{194, 0, K}}},
        {"G", 'G', false, {}, {{47, 1, K}}},
        {"H", 'H', false, {{50, 1}}, {{50, 0, K}}},
        {"JArm", 'J', false, {{219, 1}}, {{220, 1, K}}},
        {"JDisarm", 'J', false, {{220, 1}}, {{220, 0, K}, {219, 0, K}}},
        {"KArm", 'K', false, {{217, 1}}, {{218, 1, K}}},
        {"KDisarm", 'K', false, {{218, 2}}, {{218, 0, K}, {217, 0, K}}},
        {"LEngage", 'L', false, {}, {{108, 1, K}}},
        {"LDisengage", 'L', false, {{111, 1}}, {{108, 0, K}}},
        {"NOn", 'N', false, {{194, 1}}, {{195, 1, K}, {194, 0, K}}},
        {"NOff", 'N', false, {{195, 1}, {194, 1}}, {{195, 0, K}}},
        {"O", 'O', false, {{203, 2}}, {{203, 3, K}}},
        {"OWrap", 'O', false, {{203, 3}}, {{203, 0, K}}},
        {"OAtIntMax", 'O', false, {{203, INT32_MAX}}, {{203, 0, K}}},
        {"CAtIntMin", 'C', false, {{202, INT32_MIN}}, {{202, 0, K}}},
        {"PauseOn", 'P', false, {}, {{185, 1, K}, {85, 1, K}}},
        {"PauseOff", 'P', false, {{185, 1}, {85, 0}}, {{185, 0, K}, {85, 0, K}}},
        {"R", 'R', false, {}, {{206, 1, S}}},
        {"S", 'S', false, {}, {{22, 1, K}}},
        {"T", 'T', false, {{121, 1}}, {{121, 0, K}}},
        {"UEngage", 'U', false, {}, {{172, 1, K}}},
        {"UDisengage", 'U', false, {{170, 1}}, {{172, 0, K}}},
        {"VDown", 'V', false, {{191, 5}}, {{191, 4, K}}},
        {"CtrlVUp", 'V', true, {{191, 5}}, {{191, 6, K}}},
        {"X", 'X', false, {}, {{107, 1, K}}},
        {"CtrlX", 'X', true, {}, {{107, 2, K}}},
        {"Z", 'Z', false, {}, {{107, 3, K}}},
        {"CtrlZ", 'Z', true, {}, {{107, 4, K}}},
        {"F3", kF3, false, {}, {{205, 1, S}, {204, 1, S}}},
        {"F4AtZero", kF4, false, {}, {{207, 1, K}}},
        {"F4AtOne", kF4, false, {{207, 1}}, {{207, 2, K}}},
        {"F4AtTwo", kF4, false, {{207, 2}}, {{207, 1, K}}},
        {"F5Off", kF5, false, {{211, 1}}, {{211, 0, K}}},
        {"F5OnWithFlaps", kF5, false, {{72, 2}}, {{211, 1, K}}},
        {"F5FlapsUp", kF5, false, {}, {}},
        {"F6", kF6, false, {}, {{100, 2, K}}},
        {"CtrlF6", kF6, true, {}, {{100, 1, K}}},
        {"F7", kF7, false, {}, {{100, 4, K}}},
        {"CtrlF7", kF7, true, {}, {{100, 3, K}}},
        {"Shift", kVkShift, false, {}, {}},
        {"Escape", 27, false, {}, {}},
        {"Q", 'Q', false, {}, {}},
        {"F1", kVkF1, false, {}, {}},
        {"F8", kVkF1 + 7, false, {}, {}},
    };
    return table;
}

TEST_F(KeyMapTest, EveryKeySetsItsVariablesInOrder) {
    for (const KeyCase& c : KeyTable()) {
        SetUp();
        for (const auto& [index, value] : c.values) standin::values[index] = value;
        if (c.control) {
            PressWithControl(c.key);
        } else {
            Press(c.key);
        }
        EXPECT_EQ(standin::sets, c.expected) << c.name;
    }
}

// Keys without a Control variant do the same with Control held.
TEST_F(KeyMapTest, ControlChangesOnlyThePairedKeys) {
    const std::set<int> paired = {kVkLeft, kVkUp, kVkRight, kVkDown, 'B', 'V', 'X', 'Z', kF6, kF7};
    for (const KeyCase& c : KeyTable()) {
        if (c.control || paired.count(c.key) != 0) continue;
        SetUp();
        for (const auto& [index, value] : c.values) standin::values[index] = value;
        PressWithControl(c.key);
        EXPECT_EQ(standin::sets, c.expected) << c.name;
    }
}

TEST_F(KeyMapTest, EveryKeyDownMakesTheMapBusy) {
    for (const KeyCase& c : KeyTable()) {
        SetUp();
        KeyDown(nullptr, c.key);
        EXPECT_TRUE(keyBusy) << c.name;
        KeyUp(nullptr, c.key);
        EXPECT_FALSE(keyBusy) << c.name;
    }
}

TEST_F(KeyMapTest, HeldKeyActsOnceAndARepeatSendsTheSameValue) {
    for (int i = 0; i < 5; ++i) KeyDown(nullptr, 'G');  // auto-repeat
    EXPECT_EQ(standin::sets, (Sets{{47, 1, K}}));
    KeyUp(nullptr, 'G');
    Press('G');  // no echo yet: the old value is read again
    EXPECT_EQ(standin::sets, (Sets{{47, 1, K}, {47, 1, K}}));
}

TEST_F(KeyMapTest, SecondKeyWhileFirstHeldWaitsForAKeyUp) {
    KeyDown(nullptr, 'G');
    KeyDown(nullptr, 'H');
    EXPECT_EQ(standin::sets, (Sets{{47, 1, K}}));
    KeyUp(nullptr, 'H');  // any key's release frees the map, G is still down
    KeyDown(nullptr, 'H');
    EXPECT_EQ(standin::sets, (Sets{{47, 1, K}, {50, 1, K}}));
}

TEST_F(KeyMapTest, ControlThenArrow) {
    KeyDown(nullptr, kVkControl);
    EXPECT_TRUE(controlHeld);
    KeyDown(nullptr, kVkLeft);
    EXPECT_TRUE(standin::sets.empty()) << "first press after Control is swallowed";
    KeyUp(nullptr, kVkLeft);
    EXPECT_TRUE(controlHeld) << "another key's release leaves Control held";
    KeyDown(nullptr, kVkLeft);
    KeyUp(nullptr, kVkLeft);
    KeyUp(nullptr, kVkControl);
    EXPECT_FALSE(controlHeld);
    Press(kVkLeft);
    EXPECT_EQ(standin::sets, (Sets{{106, 4, K}, {106, 3, K}}));
}

TEST_F(KeyMapTest, ControlIgnoredWhileAnotherKeyIsDown) {
    KeyDown(nullptr, 'G');
    KeyDown(nullptr, kVkControl);
    EXPECT_FALSE(controlHeld);
}

TEST_F(KeyMapTest, OnlyTheLowByteCounts) {
    Press(0x147);  // G
    Press(0x2100 | 'X');
    EXPECT_EQ(standin::sets, (Sets{{47, 1, K}, {107, 1, K}}));
    KeyDown(nullptr, 0x100 | kVkControl);
    EXPECT_TRUE(controlHeld);
    KeyUp(nullptr, 0x300 | kVkControl);
    EXPECT_FALSE(controlHeld);
}

// KeyCRi drops sets of variables up to 184; the key's other sets still go.
TEST_F(KeyMapTest, LinkDownDropsLowVariablesOnly) {
    struct Case {
        int key;
        std::map<std::int32_t, std::int32_t> values;
        Sets expected;
    };
    const std::vector<Case> cases = {
        {'P', {}, {{185, 1, K}, {85, 1, Drop}}},
        {'P', {{185, 1}}, {{185, 0, K}, {85, 0, Drop}}},
        {'G', {}, {{47, 1, Drop}}},
        {'J', {{220, 1}}, {{220, 0, K}, {219, 0, K}}},
        {'N', {}, {{195, 1, K}, {194, 0, K}}},
        {kVkLeft, {}, {{106, 3, Drop}}},
        {kF5, {{72, 1}}, {{211, 1, K}}},
        {kF3, {}, {{205, 1, S}, {204, 1, S}}},
        {'1', {}, {{208, 0, S}}},
        {'B', {{190, 4}}, {{190, 3, K}}},
    };
    for (const Case& c : cases) {
        SetUp();
        standin::values = c.values;
        standin::values[52] = 0;
        Press(c.key);
        EXPECT_EQ(standin::sets, c.expected) << "key " << c.key;
    }
}

}  // namespace
