// Where the parameter file is looked for, from the working directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "shell/settings.h"
#include "shell/startup.h"

namespace {

AppSettings WithWorkingDirectory(const char* dir) {
    AppSettings s = DefaultSettings();
    std::snprintf(s.workingDirectory, sizeof s.workingDirectory, "%s", dir);
    // Stale values from elsewhere must be replaced, not kept.
    std::snprintf(s.dataDirectory, sizeof s.dataDirectory, "%s", "stale\\");
    std::snprintf(s.parameterFilePath, sizeof s.parameterFilePath, "%s", "stale.cfg");
    return s;
}

TEST(ParameterPath, ExactInstallDirectorySelectsDataDirectory) {
    AppSettings s = WithWorkingDirectory("c:\\K2K\\Varnoth");
    DecideParameterPath(s);
    EXPECT_STREQ(s.dataDirectory, "C:\\K2K\\Varnoth\\Data\\");
    EXPECT_STREQ(s.parameterFilePath, "C:\\K2K\\Varnoth\\Data\\orvvarnoth.cfg");
    EXPECT_STREQ(s.workingDirectory, "c:\\K2K\\Varnoth");
}

TEST(ParameterPath, AnyOtherDirectoryUsesWorkingDirectory) {
    const char* const others[] = {
        "C:\\K2K\\Varnoth",     // capital drive letter
        "c:\\K2K\\Varnoth\\",   // trailing backslash
        "C:\\K2K\\Varnoth\\",
        "c:\\k2k\\varnoth",     // case differs
        "c:\\K2K\\Varnoth\\Data",
        "c:\\K2K\\Varnot",      // prefix
        "",                     // could not be read
        "/tmp/orv",
    };
    for (const char* dir : others) {
        AppSettings s = WithWorkingDirectory(dir);
        DecideParameterPath(s);
        EXPECT_STREQ(s.dataDirectory, "") << dir;
        EXPECT_STREQ(s.parameterFilePath, "orvvarnoth.cfg") << dir;
    }
}

TEST(ParameterPath, LongestWorkingDirectoryIsHandled) {
    std::string dir(kWorkingDirectorySize - 1, 'x');
    AppSettings s = WithWorkingDirectory(dir.c_str());
    DecideParameterPath(s);
    EXPECT_STREQ(s.parameterFilePath, "orvvarnoth.cfg");
}

}  // namespace
