#include "tests/e2e/session.h"

#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace e2e {

bool StartSession(Session* s, const SessionPaths& paths, const std::vector<std::string>& nodeArgs,
                  std::string* error) {
    char dir[] = "/tmp/orv_e2e_XXXXXX";
    if (::mkdtemp(dir) == nullptr) {
        *error = "mkdtemp failed";
        return false;
    }
    s->directory = dir;
    // FMC diagnostics in the log make a failed run readable.
    std::ofstream(s->directory + "/orvvarnoth.cfg") << "debugfmc yes\n";
    s->start = std::chrono::steady_clock::now();

    ChildSpec node;
    node.argv.push_back(paths.dbnode);
    node.argv.insert(node.argv.end(), nodeArgs.begin(), nodeArgs.end());
    node.pipeInput = true;
    node.pipeOutput = true;
    node.outputFile = s->directory + "/dbnode.err";
    if (!StartChild(node, &s->node, error)) return false;
    // The node must be listening before the client's first request; it
    // announces that with its READY line.
    if (!WaitForNodeLines(s, "READY", 1, 5)) {
        *error = "orv-dbnode did not start";
        return false;
    }
    ChildSpec client;
    client.argv.push_back(paths.client);
    client.workingDirectory = s->directory;
    client.extraEnv.push_back("QT_QPA_PLATFORM=offscreen");
    client.outputFile = s->directory + "/client.out";
    return StartChild(client, &s->client, error);
}

double Elapsed(const Session& s) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - s.start).count();
}

void Pump(Session* s, double seconds) {
    const double until = Elapsed(*s) + seconds;
    for (;;) {
        const double left = until - Elapsed(*s);
        if (left <= 0 || s->node.output < 0) {
            if (s->node.output < 0 && left > 0) ::usleep(static_cast<useconds_t>(left * 1e6));
            return;
        }
        pollfd p{s->node.output, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0) continue;
        char chunk[4096];
        const ssize_t n = ::read(s->node.output, chunk, sizeof chunk);
        if (n <= 0) {
            ::close(s->node.output);
            s->node.output = -1;
            continue;
        }
        s->pending.append(chunk, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = s->pending.find('\n')) != std::string::npos) {
            s->transcript.push_back(ParseLine(s->pending.substr(0, end), Elapsed(*s)));
            s->pending.erase(0, end + 1);
        }
        if (left < 0.001) return;
    }
}

bool WaitForNodeLines(Session* s, const std::string& prefix, int count, double seconds) {
    const double until = Elapsed(*s) + seconds;
    while (CountLines(s->transcript, prefix) < count) {
        if (Elapsed(*s) >= until) return false;
        Pump(s, 0.1);
    }
    return true;
}

std::string ReadLog(const Session& s) {
    std::ifstream file(s.directory + "/ORVVarnoth.log");
    std::ostringstream all;
    all << file.rdbuf();
    return all.str();
}

int CountLog(const Session& s, const std::string& text) {
    const std::string log = ReadLog(s);
    int count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size())) ++count;
    return count;
}

bool WaitForLog(Session* s, const std::string& text, int count, double seconds) {
    const double until = Elapsed(*s) + seconds;
    while (CountLog(*s, text) < count) {
        if (Elapsed(*s) >= until) return false;
        Pump(s, 0.2);
    }
    return true;
}

void Tell(Session* s, const std::string& command) {
    const std::string line = command + "\n";
    if (s->node.input >= 0) {
        const ssize_t n = ::write(s->node.input, line.data(), line.size());
        (void)n;
    }
    Pump(s, 0.05);
}

int EndSession(Session* s) {
    Tell(s, "quit");
    Pump(s, 0.3);
    StopChild(&s->node, SIGTERM, 3);
    Pump(s, 0.1);
    if (s->node.output >= 0) ::close(s->node.output);
    s->node.output = -1;
    return StopChild(&s->client, SIGTERM, 5);
}

int CountSanitizerReports(const Session& s) {
    int count = 0;
    for (const char* name : {"/client.out", "/dbnode.err"}) {
        std::ifstream file(s.directory + name);
        for (std::string line; std::getline(file, line);) {
            for (const char* marker : {"WARNING: ThreadSanitizer", "ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                                       "runtime error:"}) {
                if (line.find(marker) != std::string::npos) {
                    std::printf("  %s: %s\n", name + 1, line.c_str());
                    ++count;
                }
            }
        }
    }
    return count;
}

void DumpSession(const Session& s) {
    std::printf("--- scratch directory %s\n--- client log (last 60 lines)\n", s.directory.c_str());
    std::vector<std::string> lines;
    std::istringstream log(ReadLog(s));
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    for (std::size_t i = lines.size() > 60 ? lines.size() - 60 : 0; i < lines.size(); ++i) {
        std::printf("%s\n", lines[i].c_str());
    }
    std::printf("--- node transcript (last 60 lines)\n");
    const std::size_t n = s.transcript.size();
    for (std::size_t i = n > 60 ? n - 60 : 0; i < n; ++i) {
        std::printf("%7.2f %s\n", s.transcript[i].time, s.transcript[i].text.c_str());
    }
}

}  // namespace e2e
