#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/e2e/e2e.h"

namespace e2e {
namespace {

// Runs args[0] (in `dir` unless empty) with standard output and error going to `output`;
// `in`, when given, receives a pipe to its standard input.
pid_t Spawn(const std::vector<std::string>& args, const std::string& dir, const std::string& output, int* in) {
    int pin[2] = {-1, -1};
    if (in != nullptr && ::pipe2(pin, O_CLOEXEC) != 0) return -1;
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {  // only async-signal-safe calls, then exec
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        if (in != nullptr) ::dup2(pin[0], 0);
        if (!dir.empty() && ::chdir(dir.c_str()) != 0) ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (in != nullptr) {
        ::close(pin[0]);
        *in = pin[1];
    }
    return pid;
}

// Sends `signal`, waits up to `seconds`, then kills. The exit code, or -1.
int Stop(pid_t pid, int signal, double seconds) {
    ::kill(pid, signal);
    int status = 0;
    pid_t r = 0;
    for (int i = 0; r == 0 && i < seconds * 50; ++i) {
        if ((r = ::waitpid(pid, &status, WNOHANG)) == 0) ::usleep(20000);
    }
    if (r != pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool Start(Session* s, const std::string& dbnode, const std::string& client, const std::vector<std::string>& nodeArgs) {
    char dir[] = "/tmp/orv_e2e_XXXXXX";
    s->directory = ::mkdtemp(dir) != nullptr ? dir : "/tmp";
    std::ofstream(s->directory + "/orvvarnoth.cfg") << "debugfmc yes\n";  // FMC diagnostics in the log
    std::vector<std::string> args{dbnode};
    args.insert(args.end(), nodeArgs.begin(), nodeArgs.end());
    s->node = Spawn(args, "", s->directory + kNode, &s->nodeIn);
    // The node must listen before the client's first request: it says READY.
    if (s->node < 0 || !WaitFor(*s, kNode, "READY", 1, 5)) {
        Fail(s, "orv-dbnode did not start");
        return false;
    }
    s->client = Spawn({std::filesystem::absolute(client)}, s->directory, s->directory + "/client.out", nullptr);
    if (s->client < 0) Fail(s, "orvvarnoth did not start");
    return s->client >= 0;
}

double Elapsed(const Session& s) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - s.start).count();
}

void Fail(Session* s, const std::string& what) {
    std::printf("  failed: %s (at %.1f s)\n", what.c_str(), Elapsed(*s));
    s->failures.push_back(what);
}

std::vector<std::string> ReadLines(const Session& s, const char* file) {
    std::ifstream in(s.directory + file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int Count(const Session& s, const char* file, const std::string& text) {
    int count = 0;
    for (const std::string& line : ReadLines(s, file)) count += line.find(text) != std::string::npos;
    return count;
}

bool WaitFor(const Session& s, const char* file, const std::string& text, int count, double seconds) {
    for (const double until = Elapsed(s) + seconds; Count(s, file, text) < count;) {
        if (Elapsed(s) >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return true;
}

void Tell(Session* s, const std::string& command) {
    const std::string line = command + "\n";
    if (::write(s->nodeIn, line.data(), line.size()) < 0) Fail(s, "cannot tell the node: " + command);
}

bool ClientRunning(const Session& s) {
    siginfo_t info{};  // WNOWAIT: looks without reaping
    return ::waitid(P_PID, static_cast<id_t>(s.client), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

void End(Session* s) {
    Tell(s, "quit");
    Stop(s->node, SIGTERM, 3);
    ::close(s->nodeIn);
    const int code = Stop(s->client, SIGTERM, 5);
    if (code != 0) Fail(s, "client exit code " + std::to_string(code) + " after SIGTERM");
    for (const char* name : {"/client.out", kNode}) {
        for (const std::string& line : ReadLines(*s, name)) {
            for (const char* marker : {"WARNING: ThreadSanitizer", "ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                                       "runtime error:"}) {
                if (line.find(marker) != std::string::npos) Fail(s, std::string(name + 1) + ": " + line);
            }
        }
    }
}

int Finish(const Session& s) {
    std::printf("%6.1f s  done\n", Elapsed(s));
    if (s.failures.empty()) {
        std::filesystem::remove_all(s.directory);
        std::printf("PASS\n");
        return 0;
    }
    for (const char* name : {kLog, kNode}) {
        const std::vector<std::string> lines = ReadLines(s, name);
        std::printf("--- %s%s (last 50 lines)\n", s.directory.c_str(), name);
        for (std::size_t i = lines.size() > 50 ? lines.size() - 50 : 0; i < lines.size(); ++i) {
            std::printf("%s\n", lines[i].c_str());
        }
    }
    std::printf("FAIL: %zu problem(s)\n", s.failures.size());
    for (const std::string& f : s.failures) std::printf("  %s\n", f.c_str());
    return 1;
}

}  // namespace e2e
