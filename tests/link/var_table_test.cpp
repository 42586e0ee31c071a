// The Sim variable table as InitDB builds it, and InitEntry's stops.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "tests/support/portable.h"
#include "link/var_table_testing.h"
#include "base/log.h"
#include "tests/base/test_env.h"

namespace {

TEST(VarTable, CountsSlotsAndIndices) {
    ASSERT_EQ(InitDB(), 235);
    EXPECT_EQ(StdVarCount, 235);
    EXPECT_TRUE(tableReady);
    std::map<std::tuple<int, int, bool>, int> counts;  // {type, kind, local} -> count
    std::set<int> slots;
    for (int i = 0; i < kStdVarCapacity; ++i) {
        const StdVar v = MasterEntryForTest(i);
        if (v.type == kVarUndefined) continue;
        ++counts[{v.type, v.kind, v.remoteSlot == -1}];
        EXPECT_EQ(v.index, i);
        if (v.remoteSlot == -1) continue;
        EXPECT_TRUE(slots.insert(v.remoteSlot).second) << "slot " << v.remoteSlot << " twice";
        EXPECT_TRUE(SlotRecordForTest(v.remoteSlot).inUse && SlotRecordForTest(v.remoteSlot).index == i) << i;
    }
    const std::map<std::tuple<int, int, bool>, int> expected = {
        {{kVarReal, 2, false}, 94}, {{kVarReal, 5, false}, 1}, {{kVarInt, 5, false}, 81},
        {{kVarInt, -1, true}, 51},  {{kVarReal, -1, true}, 7}, {{kVarText, -1, true}, 1},
    };
    EXPECT_EQ(counts, expected);
    EXPECT_TRUE(MasterEntryForTest(57).type == kVarReal && MasterEntryForTest(57).kind == 5);
    EXPECT_EQ(MasterEntryForTest(168).type, kVarUndefined);
    EXPECT_EQ(MasterEntryForTest(169).type, kVarUndefined);
    EXPECT_EQ(*slots.rbegin(), 184);
    EXPECT_EQ(HighestSlotForTest(), 184);
}

TEST(VarTable, StartingValuesAndWorkingCopy) {
    InitDB();
    const std::map<int, int> nonZero = {{192, 1}, {193, 2}, {196, 1}, {197, 1}, {199, 1},
                                        {200, 1}, {207, 2}, {222, -1}, {223, 1}, {225, 1}};
    for (int i = 0; i < kStdVarCapacity; ++i) {
        const auto it = nonZero.find(i);
        EXPECT_EQ(MasterEntryForTest(i).intValue, it == nonZero.end() ? 0 : it->second) << i;
        EXPECT_EQ(MasterEntryForTest(i).realValue, 0.0) << i;
        if (MasterEntryForTest(i).type != kVarUndefined) {
            EXPECT_STREQ(MasterEntryForTest(i).text, "nill") << i;
        }
    }
    for (int i = 0; i < 235; ++i) {
        const StdVar w = WorkingEntryForTest(i), m = MasterEntryForTest(i);
        EXPECT_TRUE(w.index == m.index && w.type == m.type && w.intValue == m.intValue &&
                    w.realValue == m.realValue && std::strcmp(w.text, m.text) == 0 &&
                    w.remoteSlot == m.remoteSlot && w.kind == m.kind)
            << i;
    }
}

struct EntryStop {
    int index, slot, code;
    const char* line;  // nullptr: the stop writes no line
};

class VarTableDeathTest : public shelltest::InTempDir,
                          public ::testing::WithParamInterface<EntryStop> {};

TEST_P(VarTableDeathTest, InitEntryStops) {
    const EntryStop c = GetParam();
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            InitDB();
            InitEntry(c.index, kVarInt, c.slot, 5);
        },
        ::testing::ExitedWithCode(testsupport::SeenExitCode(c.code)), "");
    shelltest::Strings expected = {"Log started."};
    if (c.line != nullptr) expected.push_back(c.line);
    EXPECT_EQ(shelltest::Messages("ORVVarnoth.log"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, VarTableDeathTest,
    ::testing::Values(EntryStop{236, 10, 883, "InitEntry() - Duplicate Index: 236"},
                      EntryStop{168, 300, 881, nullptr},  // slot beyond the map
                      EntryStop{237, 10, 882, nullptr}),  // index beyond the table
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

}  // namespace
