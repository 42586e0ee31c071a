// Serial ports on a pseudo-terminal: one opener at a time, known rates only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/serial.h"

TEST(Serial, ASecondOpenerIsRefusedAsInUseAndAnUnknownRateIsRefused) {
    using platform::SerialOpen;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    const char* path = ptsname(master);
    platform::SerialPort first{}, second{};
    EXPECT_EQ(platform::OpenSerial(path, 12345, &first), SerialOpen::BadBaud);
    EXPECT_EQ(platform::OpenSerial("/nonexistent/ttyUSB9", 115200, &first), SerialOpen::CannotOpen);
    ASSERT_EQ(platform::OpenSerial(path, 115200, &first), SerialOpen::Ok);
    // The lock alone binds only programs that ask for it; the terminal's own
    // exclusive mode turns away any other opener (root excepted, as here).
    int exclusive = 0;
    ASSERT_EQ(::ioctl(first.handle, TIOCGEXCL, &exclusive), 0);
    EXPECT_NE(exclusive, 0);
    EXPECT_EQ(platform::OpenSerial(path, 115200, &second), SerialOpen::InUse);
    EXPECT_FALSE(second.open);
    // The first still gets the board's lines; closing it lets the next opener in.
    ASSERT_EQ(::write(master, "OK\n", 3), 3);
    char got[8];
    EXPECT_EQ(platform::ReadSerial(&first, got, sizeof got, 1000), 3);
    platform::CloseSerial(&first);
    EXPECT_EQ(platform::OpenSerial(path, 115200, &second), SerialOpen::Ok);
    platform::CloseSerial(&second);
    ::close(master);
}
