// The Sim variable table as InitDB builds it, and InitEntry's stops.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "link/var_table.h"
#include "shell/log.h"
#include "test_env.h"

namespace {

using shelltest::ReadFile;
using shelltest::SplitLines;

// Every test builds the table from scratch in its own directory.
class VarTable : public shelltest::InTempDir {
protected:
    void SetUp() override {
        shelltest::InTempDir::SetUp();
        highestSlot = 0;  // its value before start-up
        std::memset(static_cast<void*>(masterTable), 0, sizeof masterTable);
        std::memset(static_cast<void*>(workingCopy), 0, sizeof workingCopy);
        tableReady = false;
        StdVarCount = 0;
    }
};
using VarTableDeathTest = VarTable;

bool IsLocal(const StdVar& v) { return v.remoteSlot == -1; }

TEST_F(VarTable, InitDbDefines235EntriesAndMarksTableReady) {
    EXPECT_FALSE(tableReady);
    EXPECT_EQ(InitDB(), 235);
    EXPECT_EQ(StdVarCount, 235);
    EXPECT_TRUE(tableReady);

    int defined = 0;
    for (int i = 0; i < kStdVarCapacity; ++i)
        if (masterTable[i].type != kTypeUndefined) ++defined;
    EXPECT_EQ(defined, 235);
}

TEST_F(VarTable, CountsByTypeKindAndLocality) {
    InitDB();
    int realKind2 = 0, realKind5 = 0, intKind5 = 0;
    int localInt = 0, localReal = 0, localText = 0, other = 0;
    for (int i = 0; i < kStdVarCapacity; ++i) {
        const StdVar& v = masterTable[i];
        if (v.type == kTypeUndefined) continue;
        if (IsLocal(v)) {
            EXPECT_EQ(v.kind, -1) << i;
            if (v.type == kTypeInt) ++localInt;
            else if (v.type == kTypeReal) ++localReal;
            else if (v.type == kTypeText) ++localText;
            else ++other;
        } else if (v.type == kTypeReal && v.kind == 2) {
            ++realKind2;
        } else if (v.type == kTypeReal && v.kind == 5) {
            ++realKind5;
            EXPECT_EQ(i, 57);
        } else if (v.type == kTypeInt && v.kind == 5) {
            ++intKind5;
        } else {
            ++other;
            ADD_FAILURE() << "unexpected type/kind at " << i;
        }
    }
    EXPECT_EQ(realKind2, 94);
    EXPECT_EQ(realKind5, 1);
    EXPECT_EQ(intKind5, 81);
    EXPECT_EQ(localInt, 51);
    EXPECT_EQ(localReal, 7);
    EXPECT_EQ(localText, 1);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(masterTable[187].type, kTypeText);
}

TEST_F(VarTable, UndefinedAndOutOfCountEntries) {
    InitDB();
    EXPECT_EQ(masterTable[168].type, kTypeUndefined);
    EXPECT_EQ(masterTable[169].type, kTypeUndefined);
    EXPECT_EQ(workingCopy[168].type, kTypeUndefined);
    EXPECT_EQ(workingCopy[169].type, kTypeUndefined);
    // 235 and 236 are defined, but the count stops at 235 so they never
    // reach the working copy.
    EXPECT_EQ(masterTable[235].type, kTypeInt);
    EXPECT_EQ(masterTable[236].type, kTypeInt);
    EXPECT_EQ(masterTable[236].index, 236);
    EXPECT_NE(std::memcmp(&workingCopy[235], &masterTable[235], sizeof(StdVar)), 0);
}

TEST_F(VarTable, DefinedEntriesAreSelfIndexedAndInitialised) {
    InitDB();
    for (int i = 0; i < kStdVarCapacity; ++i) {
        const StdVar& v = masterTable[i];
        if (v.type == kTypeUndefined) continue;
        EXPECT_EQ(v.index, i);
        EXPECT_STREQ(v.text, "nill") << i;
        EXPECT_EQ(v.realValue, 0.0) << i;
        EXPECT_GE(v.remoteSlot, -1) << i;
        EXPECT_LT(v.remoteSlot, kSlotCount) << i;
    }
}

TEST_F(VarTable, SlotsAreUniqueAndSlotMapPointsBack) {
    InitDB();
    std::set<int> slots;
    int remote = 0;
    int maxSlot = -1;
    for (int i = 0; i < kStdVarCapacity; ++i) {
        const StdVar& v = masterTable[i];
        if (v.type == kTypeUndefined || IsLocal(v)) continue;
        ++remote;
        EXPECT_TRUE(slots.insert(v.remoteSlot).second) << "slot " << v.remoteSlot << " twice";
        const SlotRecord& r = SlotMap[v.remoteSlot];
        EXPECT_TRUE(r.inUse);
        EXPECT_EQ(r.index, i);
        EXPECT_EQ(r.kind, v.kind);
        EXPECT_EQ(r.counter, 0);
        if (v.remoteSlot > maxSlot) maxSlot = v.remoteSlot;
    }
    EXPECT_EQ(remote, 176);
    EXPECT_EQ(maxSlot, 184);
    EXPECT_EQ(highestSlot, 184);
    int inUse = 0;
    for (const SlotRecord& r : SlotMap) inUse += r.inUse ? 1 : 0;
    EXPECT_EQ(inUse, 176);
}

// Irregular spots of the definition table, where a transcription slip
// would not change any count.
TEST_F(VarTable, IrregularSlotAssignments) {
    InitDB();
    struct Expect {
        int index, type, slot, kind;
    };
    const Expect cases[] = {
        {0, kTypeReal, 0, 2},     {12, kTypeReal, 12, 2},   {13, kTypeInt, 13, 5},
        {16, kTypeReal, -1, -1},  {22, kTypeInt, 52, 5},    {25, kTypeInt, 54, 5},
        {27, kTypeReal, 22, 2},   {35, kTypeReal, 163, 2},  {47, kTypeInt, 42, 5},
        {50, kTypeInt, 21, 5},    {52, kTypeInt, -1, -1},   {57, kTypeReal, 55, 5},
        {62, kTypeReal, 57, 2},   {63, kTypeReal, 59, 2},   {64, kTypeReal, 58, 2},
        {85, kTypeInt, 89, 5},    {87, kTypeReal, 92, 2},   {88, kTypeReal, 91, 2},
        {90, kTypeInt, 79, 5},    {99, kTypeInt, 88, 5},    {100, kTypeInt, 94, 5},
        {119, kTypeInt, 113, 5},  {126, kTypeInt, 166, 5},  {127, kTypeInt, 167, 5},
        {143, kTypeReal, 135, 2}, {144, kTypeReal, 140, 2}, {148, kTypeReal, 136, 2},
        {151, kTypeReal, 139, 2}, {165, kTypeReal, 157, 2}, {172, kTypeInt, 165, 5},
        {173, kTypeInt, 164, 5},  {179, kTypeInt, 175, 5},  {184, kTypeInt, 184, 5},
        {188, kTypeReal, -1, -1}, {209, kTypeInt, 160, 5},  {210, kTypeReal, 161, 2},
        {221, kTypeReal, -1, -1}, {227, kTypeInt, 176, 5},  {230, kTypeInt, 179, 5},
    };
    for (const Expect& e : cases) {
        const StdVar& v = masterTable[e.index];
        EXPECT_EQ(v.type, e.type) << "variable " << e.index;
        EXPECT_EQ(v.remoteSlot, e.slot) << "variable " << e.index;
        EXPECT_EQ(v.kind, e.kind) << "variable " << e.index;
    }
}

TEST_F(VarTable, StartingValues) {
    InitDB();
    for (int i = 0; i < kStdVarCapacity; ++i) {
        int expected = 0;
        switch (i) {
            case 192: case 196: case 197: case 199: case 200: case 223: case 225:
                expected = 1;
                break;
            case 193: case 207:
                expected = 2;
                break;
            case 222:
                expected = -1;
                break;
            default:
                break;
        }
        EXPECT_EQ(masterTable[i].intValue, expected) << "variable " << i;
        EXPECT_EQ(masterTable[i].realValue, 0.0) << "variable " << i;
    }
}

TEST_F(VarTable, WorkingCopyEqualsMasterUpToCount) {
    InitDB();
    for (int i = 0; i < StdVarCount; ++i)
        EXPECT_EQ(std::memcmp(&workingCopy[i], &masterTable[i], sizeof(StdVar)), 0) << i;
    EXPECT_EQ(workingCopy[222].intValue, -1);
    EXPECT_EQ(workingCopy[52].intValue, 0);
}

TEST_F(VarTable, DefinitionRowsCoverEachIndexOnce) {
    // The rows' own shape: runs inside the table, and 235 definitions.
    int total = 0;
    for (int r = 0; r < kVarDefinitionRowCount; ++r) {
        const VarDefinitionRow& d = kVarDefinitions[r];
        EXPECT_GT(d.count, 0) << r;
        EXPECT_GE(d.firstIndex, 0) << r;
        EXPECT_LE(d.firstIndex + d.count, kStdVarCapacity) << r;
        total += d.count;
    }
    EXPECT_EQ(total, 235);
}

TEST_F(VarTable, SlotRecordOfALaterDefinitionReplacesTheFirst) {
    InitDB();
    ASSERT_EQ(masterTable[168].type, kTypeUndefined);
    InitEntry(168, kTypeInt, 42, 2);  // slot 42 already holds variable 47
    EXPECT_EQ(SlotMap[42].index, 168);
    EXPECT_EQ(SlotMap[42].kind, 2);
    EXPECT_EQ(highestSlot, 184);
    InitEntry(169, kTypeInt, 299, 5);  // the largest slot is allowed
    EXPECT_EQ(highestSlot, 299);
    EXPECT_EQ(masterTable[169].remoteSlot, 299);
}

TEST_F(VarTableDeathTest, DuplicateIndexStops883WithItsLine) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            InitDB();
            InitEntry(236, kTypeInt, -1, -1);
        },
        ::testing::ExitedWithCode(883 & 0xFF), "");
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(12), "  InitEntry() - Duplicate Index: 236");
}

TEST_F(VarTableDeathTest, DuplicateOfFirstEntryNamesIndexZero) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            InitDB();
            InitEntry(0, kTypeReal, 200, 2);
        },
        ::testing::ExitedWithCode(883 & 0xFF), "");
    const auto lines = SplitLines(ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(12), "  InitEntry() - Duplicate Index: 0");
}

TEST_F(VarTableDeathTest, SlotOutOfRangeStops881WithoutLine) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            InitDB();
            InitEntry(168, kTypeInt, 300, 5);
        },
        ::testing::ExitedWithCode(881 & 0xFF), "");
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
}

TEST_F(VarTableDeathTest, SlotCheckComesBeforeIndexAndDuplicateChecks) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            InitDB();
            InitEntry(5, kTypeInt, 1000, 5);  // index 5 is a duplicate too
        },
        ::testing::ExitedWithCode(881 & 0xFF), "");
    EXPECT_EXIT(InitEntry(237, kTypeInt, 300, 5), ::testing::ExitedWithCode(881 & 0xFF), "");
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
}

TEST_F(VarTableDeathTest, IndexAboveTableStops882WithoutLine) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    EXPECT_EXIT(
        {
            InitDB();
            InitEntry(237, kTypeInt, -1, -1);
        },
        ::testing::ExitedWithCode(882 & 0xFF), "");
    EXPECT_EXIT(InitEntry(100000, kTypeReal, 5, 2), ::testing::ExitedWithCode(882 & 0xFF), "");
    EXPECT_EQ(ReadFile("ORVVarnoth.log"), "Log started.\n");
}

}  // namespace
