// Settings defaults with the window cascade, and the build date stamp.
#include <gtest/gtest.h>

#include "platform/time.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "test_env.h"

namespace {

using shelltest::SplitLines;

void ExpectBuiltInDefaults(const AppSettings& s) {
    EXPECT_EQ(s.statusX, 100);
    EXPECT_EQ(s.statusY, 100);
    EXPECT_EQ(s.autoX, 130);
    EXPECT_EQ(s.autoY, 130);
    EXPECT_EQ(s.navX, 160);
    EXPECT_EQ(s.navY, 160);
    EXPECT_EQ(s.radiosX, 190);
    EXPECT_EQ(s.radiosY, 190);
    EXPECT_EQ(s.cascadeStep, 30);
    EXPECT_TRUE(s.singleWindow);
    EXPECT_TRUE(s.showStatus);
    EXPECT_TRUE(s.showAuto);
    EXPECT_TRUE(s.showNav);
    EXPECT_TRUE(s.showRadios);
    EXPECT_FALSE(s.debugFmc);
    EXPECT_EQ(s.versionMajor, 1);
    EXPECT_EQ(s.buildStamp, 0);
    EXPECT_STREQ(s.workingDirectory, "");
    EXPECT_STREQ(s.dataDirectory, "");
    EXPECT_STREQ(s.parameterFilePath, "");
}

TEST(SettingsDefaults, CascadeFromBuiltInDefaults) { ExpectBuiltInDefaults(DefaultSettings()); }

TEST(SettingsDefaults, ProcessSettingsHoldDefaultsBeforeStartUp) {
    // Nothing in this program runs start-up, so the global is untouched.
    ExpectBuiltInDefaults(Settings);
}

TEST(SettingsDefaults, CascadeIsFixedBeforeProgramStarts) {
    // Usable in constant expressions: in place before any code runs.
    static_assert(DefaultSettings().radiosX == 190 && DefaultSettings().radiosY == 190);
    // A position set later does not move the other windows' defaults.
    AppSettings s = DefaultSettings();
    s.statusX = 400;
    EXPECT_EQ(s.autoX, 130);
    EXPECT_EQ(s.navX, 160);
}

TEST(DateStamp, Examples) {
    EXPECT_EQ(DateStampOf(2026, 12, 6), 261206);
    EXPECT_EQ(DateStampOf(2027, 1, 5), 270105);
    EXPECT_EQ(DateStampOf(2005, 1, 5), 50105);
    EXPECT_EQ(DateStampOf(2000, 1, 1), 101);
    EXPECT_EQ(DateStampOf(1999, 12, 31), 991231);
    EXPECT_EQ(DateStampOf(2100, 2, 28), 228);
}

TEST(DateStamp, TodayIsTheLocalDate) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const platform::Date before = platform::LocalDate();
        const std::int32_t stamp = DateStamp();
        const platform::Date after = platform::LocalDate();
        if (before.day != after.day) continue;  // crossed midnight
        EXPECT_EQ(stamp, DateStampOf(before.year, before.month, before.day));
        EXPECT_GE(before.year, 2000);
        return;
    }
}

using VersionLine = shelltest::InTempDir;

TEST_F(VersionLine, MinorPartHasNoPadding) {
    ASSERT_TRUE(StartLog("ORVVarnoth.log"));
    const char* const format = "OrvVarnoth Version: %0d.%0d starting.\n";
    WriteLogf(format, 1, DateStampOf(2005, 1, 5));
    WriteLogf(format, 1, DateStampOf(2026, 12, 6));
    const auto lines = SplitLines(shelltest::ReadFile("ORVVarnoth.log"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].substr(12), "  OrvVarnoth Version: 1.50105 starting.");
    EXPECT_EQ(lines[2].substr(12), "  OrvVarnoth Version: 1.261206 starting.");
}

}  // namespace
