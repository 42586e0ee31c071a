// orv-dbnode: a DB node on the wire for the cockpit client, with a small
// aircraft model and a line-command interface for tests and demos.
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <algorithm>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "tools/dbnode/node.h"
#include "tools/dbnode/node_link.h"
#include "tools/dbnode/options.h"
#include "tools/dbnode/script.h"
#include "tools/dbnode/wake.h"

namespace {

std::atomic<bool> stopRequested{false};

void OnSignal(int) { stopRequested.store(true); }

struct ScriptQueue {
    std::deque<dbnode::Command> commands;
    double resumeAt = 0;
};

bool LoadScript(const std::string& path, ScriptQueue* queue) {
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "orv-dbnode: cannot open script %s\n", path.c_str());
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        dbnode::Command command;
        std::string error;
        if (!dbnode::ParseCommand(line, &command, &error)) {
            std::fprintf(stderr, "orv-dbnode: %s line %d: %s\n", path.c_str(), number, error.c_str());
            return false;
        }
        if (command.kind != dbnode::CommandKind::kNone) queue->commands.push_back(command);
    }
    return true;
}

// Splits what arrived on standard input into commands; a partial line waits.
void TakeInputLines(std::string* pending, ScriptQueue* queue) {
    std::size_t end;
    while ((end = pending->find('\n')) != std::string::npos) {
        const std::string line = pending->substr(0, end);
        pending->erase(0, end + 1);
        dbnode::Command command;
        std::string error;
        if (!dbnode::ParseCommand(line, &command, &error)) {
            std::printf("ERROR %s\n", error.c_str());
            continue;
        }
        if (command.kind != dbnode::CommandKind::kNone) queue->commands.push_back(command);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    dbnode::Options options;
    std::string error;
    if (!dbnode::ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "orv-dbnode: %s\n%s", error.c_str(), dbnode::UsageText());
        return 2;
    }
    if (options.help) {
        std::fputs(dbnode::UsageText(), stdout);
        return 0;
    }
    if (!dbnode::InTestNetworkNamespace()) {
        std::fprintf(stderr,
                     "orv-dbnode: refusing to run: only loopback and veth interfaces with private "
                     "addresses and no default route may be present (run it in a private network "
                     "namespace, e.g. tests/support/run_in_netns.sh)\n");
        return 3;
    }
    ScriptQueue script;
    if (!options.scriptFile.empty() && !LoadScript(options.scriptFile, &script)) return 2;
    dbnode::Node node;
    if (!dbnode::InitNode(&node, options.node, stdout, &error)) {
        std::fprintf(stderr, "orv-dbnode: plan: %s\n", error.c_str());
        return 2;
    }
    dbnode::NodeSockets sockets;
    if (!dbnode::OpenNodeSockets(options.node.address, options.node.dataPort, options.requestPort, &sockets,
                                 &error)) {
        std::fprintf(stderr, "orv-dbnode: %s\n", error.c_str());
        return 4;
    }
    // SIGTERM and SIGINT are let through only while the loop sleeps in
    // ppoll, so a stop request can never slip in between the check and the
    // sleep and leave the node asleep with nothing due.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigset_t sleepMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &sleepMask);
    sigdelset(&sleepMask, SIGTERM);
    sigdelset(&sleepMask, SIGINT);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::printf("READY requests on port %d, data %s:%d, speedup %g\n", options.requestPort,
                options.node.address.c_str(), options.node.dataPort, options.node.speedup);

    const auto start = std::chrono::steady_clock::now();
    auto now = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    bool stdinOpen = true;
    std::string pending;
    std::vector<dbnode::Outgoing> sends;
    unsigned char buffer[8192];
    bool running = true;
    while (running && !stopRequested.load()) {
        const double t = now();
        sends.clear();
        while (!script.commands.empty() && t >= script.resumeAt) {
            const dbnode::Command command = script.commands.front();
            script.commands.pop_front();
            if (command.kind == dbnode::CommandKind::kWait) {
                script.resumeAt = t + command.numbers[0];
                continue;
            }
            if (!dbnode::ExecuteCommand(&node, command, t, &sends)) {
                running = false;
                break;
            }
        }
        dbnode::TickNode(&node, t, &sends);
        for (const dbnode::Outgoing& out : sends) {
            if (!dbnode::SendOutgoing(sockets, out)) std::printf("SEND FAILED (%zu bytes)\n", out.bytes.size());
        }
        if (!running) break;

        pollfd fds[3] = {{sockets.request, POLLIN, 0}, {sockets.data, POLLIN, 0}, {0, POLLIN, 0}};
        const nfds_t count = stdinOpen ? 3 : 2;
        // Sleep until the next thing is due: an update, keep-alive or POS
        // line, the end of a silence or of a script wait; a datagram or a
        // command wakes it earlier.
        const double t2 = now();
        double due = dbnode::NextDue(node, t2);
        if (!script.commands.empty()) due = std::min(due, script.resumeAt);
        const double sleep = dbnode::SleepSeconds(t2, due);
        timespec span{};
        if (sleep >= 0) {
            span.tv_sec = static_cast<time_t>(sleep);
            span.tv_nsec = static_cast<long>((sleep - static_cast<double>(span.tv_sec)) * 1e9);
        }
        if (::ppoll(fds, count, sleep >= 0 ? &span : nullptr, &sleepMask) < 0) continue;  // a signal
        sends.clear();
        if (fds[0].revents & POLLIN) {
            long n;
            while ((n = dbnode::ReadDatagram(sockets.request, buffer, sizeof buffer)) >= 0) {
                dbnode::HandleRequestDatagram(&node, buffer, static_cast<std::size_t>(n), &sends);
            }
        }
        if (fds[1].revents & POLLIN) {
            long n;
            while ((n = dbnode::ReadDatagram(sockets.data, buffer, sizeof buffer)) >= 0) {
                dbnode::HandleDataDatagram(&node, buffer, static_cast<std::size_t>(n), &sends);
            }
        }
        if (stdinOpen && (fds[2].revents & (POLLIN | POLLHUP))) {
            char chunk[1024];
            const ssize_t n = ::read(0, chunk, sizeof chunk);
            if (n <= 0) {
                stdinOpen = false;  // no more commands; keep serving
                pending += '\n';
            } else {
                pending.append(chunk, static_cast<std::size_t>(n));
            }
            TakeInputLines(&pending, &script);
        }
        for (const dbnode::Outgoing& out : sends) {
            if (!dbnode::SendOutgoing(sockets, out)) std::printf("SEND FAILED (%zu bytes)\n", out.bytes.size());
        }
    }
    dbnode::PrintReport(&node);
    std::printf("QUIT\n");
    return 0;
}
