#include "platform/gui.h"

#include "platform/qt/gui_call.h"
#include "platform/qt/gui_post.h"
#include "platform/window.h"

#include <QApplication>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

QApplication* app = nullptr;
int signalPipe[2] = {-1, -1};
std::atomic<void (*)()> displayLost{nullptr};
QtMessageHandler previousMessageHandler = nullptr;

// The X11 plugin reports a broken connection with this warning (from its
// event reader or from Xlib's I/O error handler) just before it calls exit.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    void (*const lost)() = displayLost.load();
    if (lost != nullptr && type == QtWarningMsg && text.startsWith(u"The X11 connection broke")) lost();
    if (previousMessageHandler != nullptr) {
        previousMessageHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

void OnSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the loop reads the pipe.
    [[maybe_unused]] auto n = write(signalPipe[1], &byte, 1);
}

void InstallQuitSignals() {
    if (pipe(signalPipe) != 0) return;
    fcntl(signalPipe[0], F_SETFD, FD_CLOEXEC);
    fcntl(signalPipe[1], F_SETFD, FD_CLOEXEC);
    fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [] {
        char byte;
        [[maybe_unused]] auto n = read(signalPipe[0], &byte, 1);
        QApplication::exit(0);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

}  // namespace

AppInstance GuiInit(int& argc, char** argv, void (*lost)()) {
    if (app == nullptr) {
        app = new QApplication(argc, argv);  // lives until the process ends
        // The program ends through PostQuit only, never because a window closed.
        QApplication::setQuitOnLastWindowClosed(false);
        InstallQuitSignals();
        qthost::PrepareGuiCalls();
        qthost::PrepareGuiPost();
        if (lost != nullptr) {
            displayLost.store(lost);
            previousMessageHandler = qInstallMessageHandler(OnQtMessage);
        }
    }
    return app;
}

int GuiRunMessageLoop() { return QApplication::exec(); }

void GuiPostQuit(int code) { QApplication::exit(code); }

void PostQuit(int code) { GuiPostQuit(code); }

}  // namespace platform
