// Shared fixture for the panel tests: fresh variables, trace, echo record
// and log for each test.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include "tests/support/portable.h"

#include "platform/time.h"
#include "base/log.h"
#include "fake_panel_env.h"
#include "panels/autopilot_refresh.h"
#include "panels/panel_echo.h"

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::ResetVars();
        fake::TakeTrace();
        fake::shiftDown = false;
        PanelEcho.pendingHeading = 0;
        PanelEcho.pendingAltitude = 0;
        PanelEcho.pendingSpeed = 0;
        PanelEcho.headingPending = false;
        PanelEcho.altitudePending = false;
        PanelEcho.speedPending = false;
        PanelEcho.echoTicks = 0;
        PanelEcho.pendingCourseCapt = 0;
        PanelEcho.pendingCourseFO = 0;
        PanelEcho.courseCaptPending = false;
        PanelEcho.courseFOPending = false;
        lastAutopilotShown = -1;
        lastFlightDirShown = -1;
        logPath_ = ::testing::TempDir() + "panels_" + std::to_string(testsupport::ProcessId()) + ".log";
        // Each log line in a second of its own, so that no repeat is folded.
        static std::int64_t second = 0;
        ASSERT_TRUE(StartLog(logPath_.c_str(), {[] { return ++second; }}));
    }
    void TearDown() override {
        std::remove(logPath_.c_str());
    }

    // Log messages without their time stamps, after "Log started.".
    fake::Strings LogLines() const {
        std::ifstream in(logPath_);
        fake::Strings out;
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            const std::size_t start = line.find("  ");  // stamp, blank, message
            out.push_back(start == std::string::npos ? line : line.substr(start + 2));
        }
        return out;
    }

private:
    std::string logPath_;
};
