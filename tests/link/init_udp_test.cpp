// Start-up failures of the link, each in a fresh process: none of them
// starts a link thread.
#include <gtest/gtest.h>

#include <cstring>

#include "link/link_state.h"
#include "link/net_init.h"
#include "platform/process.h"
#include "tests/link/link_test_support.h"

namespace {

using linktest::DeathLog;
using linktest::Messages;

const char* failingName = "";
platform::Mutex* FailNamedMutex(const char* name) {
    if (std::strcmp(name, failingName) == 0) return nullptr;
    platform::SetMutexFactory(nullptr);
    platform::Mutex* m = platform::CreateMutex(name);
    platform::SetMutexFactory(FailNamedMutex);
    return m;
}

[[noreturn]] void ExitWithResult(int result) { platform::ExitProcess(result == -1 ? 0 : 1); }

TEST(InitUdpFailure, DataMutexNotCreated) {
    EXPECT_EXIT(
        {
            failingName = "DATAMUTEX";
            platform::SetMutexFactory(FailNamedMutex);
            ExitWithResult(InitUdp(9099, 15, "", "", 1, 261206));
        },
        ::testing::ExitedWithCode(0), "");
    const std::vector<std::string> m = Messages(DeathLog());
    const std::vector<std::string> expected = {
        "Log started.", "InitUdp() - StdVarCount: 235  Allowed: 237",
        "InitUdp() - DataMutex has been created", "InitUDP() - failure to create data mutex"};
    EXPECT_EQ(m, expected);
}

TEST(InitUdpFailure, FlightMutexNotCreated) {
    EXPECT_EXIT(
        {
            failingName = "FLIGHTMUTEX";
            platform::SetMutexFactory(FailNamedMutex);
            ExitWithResult(InitUdp(9099, 15, "", "", 1, 261206));
        },
        ::testing::ExitedWithCode(0), "");
    const std::vector<std::string> m = Messages(DeathLog());
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[3], "InitUDP() - failure to create flight mutex");
}

TEST(InitUdpFailure, MonitorPortTaken) {
    EXPECT_EXIT(
        {
            linktest::Peer squatter(9099, 0);
            ExitWithResult(InitUdp(9099, 15, "", "", 1, 261206));
        },
        ::testing::ExitedWithCode(0), "");
    const std::string log = DeathLog();
    EXPECT_TRUE(linktest::HasLine(log, "InitUdp() - Monitor socket bind error\n"));
    EXPECT_TRUE(linktest::HasLine(log, "Monitor Port is 9099\n"));
    EXPECT_EQ(log.find("UDP services"), std::string::npos);
}

}  // namespace
