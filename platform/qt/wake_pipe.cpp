#include "platform/qt/wake_pipe.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace platform::qthost {

bool OpenWakePipe(WakePipe* wake, QCoreApplication* app, void (*onWake)()) {
    if (pipe(wake->fds) != 0) return false;
    for (int fd : wake->fds) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    const int readEnd = wake->fds[0];
    auto* notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [readEnd, onWake] {
        char drain[64];
        while (read(readEnd, drain, sizeof drain) > 0) {
        }
        onWake();
    });
    return true;
}

void Wake(const WakePipe& wake) {
    const char byte = 1;
    [[maybe_unused]] auto n = write(wake.fds[1], &byte, 1);
}

}  // namespace platform::qthost
