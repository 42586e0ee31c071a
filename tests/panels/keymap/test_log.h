// Tests write their log lines to a file of their own in the temporary
// directory, never into the working directory.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include "tests/support/portable.h"

#include "base/log.h"

class TempLog {
public:
    TempLog()
        : path_(::testing::TempDir() + "orv_panels_" + std::to_string(testsupport::ProcessId()) + ".log") {
        StartLog(path_.c_str());
    }
    ~TempLog() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
