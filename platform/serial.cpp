// POSIX serial ports: termios on a device path.
#include "platform/serial.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

// B0 for a rate the port is never set to.
speed_t BaudConstant(int baud) {
    switch (baud) {
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        default: return B0;
    }
}

SerialOpen Fail(int fd, SerialOpen why) {
    ::close(fd);
    return why;
}

}  // namespace

SerialOpen OpenSerial(const char* name, int baud, SerialPort* out) {
    const speed_t speed = BaudConstant(baud);
    if (speed == B0) return SerialOpen::BadBaud;
    // Non-blocking open: a modem line without carrier would otherwise wait.
    const int fd = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // EBUSY: another opener made the terminal exclusive.
    if (fd < 0) return errno == EBUSY ? SerialOpen::InUse : SerialOpen::CannotOpen;
    // The lock stops another copy of this program (root included, whom the
    // exclusive mode does not stop); the exclusive mode stops terminal
    // programs that take no lock. The lock first: a port someone else holds
    // is left as it was.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return Fail(fd, errno == EWOULDBLOCK ? SerialOpen::InUse : SerialOpen::CannotOpen);
    termios tio{};
    if (tcgetattr(fd, &tio) != 0 || ::ioctl(fd, TIOCEXCL) != 0) return Fail(fd, SerialOpen::CannotOpen);
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD | HUPCL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        ::ioctl(fd, TIOCNXCL);
        return Fail(fd, SerialOpen::CannotOpen);
    }
    tcflush(fd, TCIOFLUSH);
    out->handle = fd;
    out->open = true;
    return SerialOpen::Ok;
}

long ReadSerial(SerialPort* port, void* buffer, std::size_t capacity, int timeoutMs, const WakeSignal* wake) {
    if (!port->open) return -1;
    pollfd fds[2] = {{port->handle, POLLIN, 0}, {wake != nullptr ? wake->fd : -1, POLLIN, 0}};
    const int ready = ::poll(fds, wake != nullptr ? 2 : 1, timeoutMs < 0 ? -1 : timeoutMs);
    if (ready < 0) return errno == EINTR ? 0 : -1;
    if (ready == 0) return 0;
    if (wake != nullptr && (fds[1].revents & POLLIN) != 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t cleared = ::read(wake->fd, &count, sizeof count);
    }
    const pollfd& p = fds[0];
    if (p.revents == 0) return 0;  // only woken
    // A pty whose other side closed, or a USB device unplugged, reports a
    // hang-up or an error rather than data.
    if ((p.revents & POLLIN) == 0) return -1;
    const ssize_t n = ::read(port->handle, buffer, capacity);
    if (n > 0) return static_cast<long>(n);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    return -1;  // end of file: the device is gone
}

bool WriteSerial(SerialPort* port, const void* data, std::size_t length) {
    if (!port->open) return false;
    const char* at = static_cast<const char*>(data);
    int idle = 0;
    while (length > 0) {
        const ssize_t n = ::write(port->handle, at, length);
        if (n > 0) {
            at += n;
            length -= static_cast<std::size_t>(n);
            idle = 0;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        // The output buffer is full: wait a little, but never for long, so a
        // board that stopped reading cannot hold its thread.
        pollfd p{port->handle, POLLOUT, 0};
        if (::poll(&p, 1, 100) <= 0 && ++idle >= 10) return false;
    }
    return true;
}

void CloseSerial(SerialPort* port) {
    if (!port->open) return;
    // The exclusive mode can outlive this descriptor (a terminal someone
    // else still holds open); the lock goes with it.
    ::ioctl(port->handle, TIOCNXCL);
    ::close(port->handle);
    port->open = false;
}

}  // namespace platform
