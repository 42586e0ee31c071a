// Serial ports on a pseudo-terminal: one opener at a time, known rates only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "platform/serial.h"

namespace {

using platform::SerialOpen;

class SerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(grantpt(master_), 0);
        ASSERT_EQ(unlockpt(master_), 0);
        path_ = ptsname(master_);
    }
    void TearDown() override { ::close(master_); }

    int master_ = -1;
    std::string path_;
};

TEST_F(SerialTest, SecondOpenerIsRefusedAsInUseAndTheFirstKeepsWorking) {
    platform::SerialPort first{}, second{};
    ASSERT_EQ(platform::OpenSerial(path_.c_str(), 115200, &first), SerialOpen::Ok);
    EXPECT_EQ(platform::OpenSerial(path_.c_str(), 115200, &second), SerialOpen::InUse);
    EXPECT_FALSE(second.open);

    ASSERT_TRUE(platform::WriteSerial(&first, "PING\n", 5));
    char got[16] = {};
    ASSERT_EQ(::read(master_, got, sizeof got), 5);
    EXPECT_EQ(std::string(got, 5), "PING\n");
    ASSERT_EQ(::write(master_, "OK\n", 3), 3);
    EXPECT_EQ(platform::ReadSerial(&first, got, sizeof got, 1000), 3);

    // Closing lets the next opener in.
    platform::CloseSerial(&first);
    ASSERT_EQ(platform::OpenSerial(path_.c_str(), 115200, &second), SerialOpen::Ok);
    platform::CloseSerial(&second);
}

TEST_F(SerialTest, UnknownBaudAndMissingPortAreRefusedWithTheirReason) {
    platform::SerialPort port{};
    EXPECT_EQ(platform::OpenSerial(path_.c_str(), 12345, &port), SerialOpen::BadBaud);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(platform::OpenSerial("/nonexistent/ttyUSB9", 115200, &port), SerialOpen::CannotOpen);
    EXPECT_FALSE(port.open);
    // A refused rate left nothing behind: the port still opens.
    ASSERT_EQ(platform::OpenSerial(path_.c_str(), 9600, &port), SerialOpen::Ok);
    platform::CloseSerial(&port);
}

}  // namespace
