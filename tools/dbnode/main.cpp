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

// Everything the serving loop works on.
struct Session {
    dbnode::Node node;
    dbnode::NodeSockets sockets;
    ScriptQueue script;
    sigset_t sleepMask;  // the signal mask while asleep in ppoll
    bool stdinOpen = true;
    std::string pending;  // standard input not yet ended by a line feed
    std::vector<dbnode::Outgoing> sends;
};

// Reads the options and sets the node up. Returns -1 to go on serving,
// otherwise the exit code.
int Prepare(int argc, char** argv, dbnode::Options* options, Session* session) {
    std::string error;
    if (!dbnode::ParseOptions(argc, argv, options, &error)) {
        std::fprintf(stderr, "orv-dbnode: %s\n%s", error.c_str(), dbnode::UsageText());
        return 2;
    }
    if (options->help) {
        std::fputs(dbnode::UsageText(), stdout);
        return 0;
    }
    if (!dbnode::InTestNetworkNamespace()) {
        std::fprintf(stderr,
                     "orv-dbnode: refusing to run: only loopback and veth interfaces with private "
                     "addresses and no default route may be present (run it in a private network "
                     "namespace, e.g. unshare -rn sh -c 'ip link set lo up && orv-dbnode ...'; "
                     "orv-dbnode(1) shows one with orvvarnoth beside it)\n");
        return 3;
    }
    if (!options->scriptFile.empty() && !LoadScript(options->scriptFile, &session->script)) return 2;
    if (!dbnode::InitNode(&session->node, options->node, stdout, &error)) {
        std::fprintf(stderr, "orv-dbnode: plan: %s\n", error.c_str());
        return 2;
    }
    if (!dbnode::OpenNodeSockets(options->node.address, options->node.dataPort, options->requestPort,
                                 &session->sockets, &error)) {
        std::fprintf(stderr, "orv-dbnode: %s\n", error.c_str());
        return 4;
    }
    return -1;
}

// SIGTERM and SIGINT are let through only while the loop sleeps in ppoll, so
// a stop request can never slip in between the check and the sleep and
// leave the node asleep with nothing due.
void CatchStopSignals(sigset_t* sleepMask) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, sleepMask);
    sigdelset(sleepMask, SIGTERM);
    sigdelset(sleepMask, SIGINT);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
}

// Runs the script commands that are due. Returns false for quit.
bool RunDueCommands(Session* s, double t) {
    while (!s->script.commands.empty() && t >= s->script.resumeAt) {
        const dbnode::Command command = s->script.commands.front();
        s->script.commands.pop_front();
        if (command.kind == dbnode::CommandKind::kWait) {
            s->script.resumeAt = t + command.numbers[0];
            continue;
        }
        if (!dbnode::ExecuteCommand(&s->node, command, t, &s->sends)) return false;
    }
    return true;
}

void SendAll(Session* s) {
    for (const dbnode::Outgoing& out : s->sends) {
        if (!dbnode::SendOutgoing(s->sockets, out)) std::printf("SEND FAILED (%zu bytes)\n", out.bytes.size());
    }
}

// Sleeps until the next thing is due: an update, keep-alive or POS line, the
// end of a silence or of a script wait; a datagram or a command wakes it
// earlier. Returns false when a signal ended the sleep.
bool SleepUntilDue(Session* s, double t, pollfd* fds) {
    double due = dbnode::NextDue(s->node, t);
    if (!s->script.commands.empty()) due = std::min(due, s->script.resumeAt);
    const double sleep = dbnode::SleepSeconds(t, due);
    timespec span{};
    if (sleep >= 0) {
        span.tv_sec = static_cast<time_t>(sleep);
        span.tv_nsec = static_cast<long>((sleep - static_cast<double>(span.tv_sec)) * 1e9);
    }
    const nfds_t count = s->stdinOpen ? 3 : 2;
    return ::ppoll(fds, count, sleep >= 0 ? &span : nullptr, &s->sleepMask) >= 0;
}

// Handles what woke the loop: datagrams on either port, lines on standard input.
void ServeReady(Session* s, const pollfd* fds) {
    unsigned char buffer[8192];
    long n;
    if (fds[0].revents & POLLIN) {
        while ((n = dbnode::ReadDatagram(s->sockets.request, buffer, sizeof buffer)) >= 0) {
            dbnode::HandleRequestDatagram(&s->node, buffer, static_cast<std::size_t>(n), &s->sends);
        }
    }
    if (fds[1].revents & POLLIN) {
        while ((n = dbnode::ReadDatagram(s->sockets.data, buffer, sizeof buffer)) >= 0) {
            dbnode::HandleDataDatagram(&s->node, buffer, static_cast<std::size_t>(n), &s->sends);
        }
    }
    if (s->stdinOpen && (fds[2].revents & (POLLIN | POLLHUP))) {
        char chunk[1024];
        const ssize_t got = ::read(0, chunk, sizeof chunk);
        if (got <= 0) {
            s->stdinOpen = false;  // no more commands; keep serving
            s->pending += '\n';
        } else {
            s->pending.append(chunk, static_cast<std::size_t>(got));
        }
        TakeInputLines(&s->pending, &s->script);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    dbnode::Options options;
    Session session;
    const int code = Prepare(argc, argv, &options, &session);
    if (code >= 0) return code;
    CatchStopSignals(&session.sleepMask);
    std::printf("READY requests on port %d, data %s:%d, speedup %g\n", options.requestPort,
                options.node.address.c_str(), options.node.dataPort, options.node.speedup);

    const auto start = std::chrono::steady_clock::now();
    auto now = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    while (!stopRequested.load()) {
        const double t = now();
        session.sends.clear();
        const bool running = RunDueCommands(&session, t);
        dbnode::TickNode(&session.node, t, &session.sends);
        SendAll(&session);
        if (!running) break;

        pollfd fds[3] = {
            {session.sockets.request, POLLIN, 0}, {session.sockets.data, POLLIN, 0}, {0, POLLIN, 0}};
        if (!SleepUntilDue(&session, now(), fds)) continue;  // a signal
        session.sends.clear();
        ServeReady(&session, fds);
        SendAll(&session);
    }
    dbnode::PrintReport(&session.node);
    std::printf("QUIT\n");
    return 0;
}
