// Settings defaults, the build date stamp, and the parameter-file location.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/settings.h"
#include "app/startup.h"

namespace {

TEST(DateStamp, YearModuloHundredMonthDay) {
    EXPECT_EQ(DateStampOf(2026, 12, 6), 261206);
    EXPECT_EQ(DateStampOf(2027, 1, 5), 270105);
    EXPECT_EQ(DateStampOf(2005, 1, 5), 50105);
}

TEST(SettingsDefaults, WindowsCascadeFromStatusWindow) {
    constexpr AppSettings s = DefaultSettings();
    EXPECT_EQ(s.cascadeStep, 30);
    const int positions[][2] = {{s.statusX, s.statusY}, {s.autoX, s.autoY},
                                {s.navX, s.navY},       {s.radiosX, s.radiosY}};
    for (int w = 0; w < 4; ++w) {
        EXPECT_EQ(positions[w][0], 100 + 30 * w) << w;
        EXPECT_EQ(positions[w][1], 100 + 30 * w) << w;
    }
}

TEST(ParameterPath, OnlyTheExactInstallDirSelectsTheDataDir) {
    struct {
        const char *workingDirectory, *dataDirectory, *parameterFile;
    } const cases[] = {
        {"c:\\K2K\\Varnoth", "C:\\K2K\\Varnoth\\Data\\", "C:\\K2K\\Varnoth\\Data\\orvvarnoth.cfg"},
        {"C:\\K2K\\Varnoth", "", "orvvarnoth.cfg"},
        {"c:\\K2K\\Varnoth\\", "", "orvvarnoth.cfg"},
    };
    for (const auto& c : cases) {
        AppSettings s = DefaultSettings();
        std::snprintf(s.workingDirectory, sizeof s.workingDirectory, "%s", c.workingDirectory);
        std::snprintf(s.dataDirectory, sizeof s.dataDirectory, "%s", "stale\\");
        DecideParameterPath(s);
        EXPECT_STREQ(s.dataDirectory, c.dataDirectory) << c.workingDirectory;
        EXPECT_STREQ(s.parameterFilePath, c.parameterFile) << c.workingDirectory;
    }
}

}  // namespace
