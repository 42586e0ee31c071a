#include "tests/e2e/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace e2e {

bool StartChild(const ChildSpec& spec, Child* child, std::string* error) {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    if (spec.pipeInput && ::pipe2(in, O_CLOEXEC) != 0) {
        *error = "pipe failed";
        return false;
    }
    if (spec.pipeOutput && ::pipe2(out, O_CLOEXEC) != 0) {
        *error = "pipe failed";
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& a : spec.argv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> env;
    // Extras first: the first of two equal names is the one that counts.
    for (const std::string& e : spec.extraEnv) env.push_back(const_cast<char*>(e.c_str()));
    for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
    env.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        *error = "fork failed";
        return false;
    }
    if (pid == 0) {
        // Only async-signal-safe calls from here on, then exec.
        if (spec.pipeInput) ::dup2(in[0], 0);
        if (spec.pipeOutput) ::dup2(out[1], 1);
        if (!spec.outputFile.empty()) {
            const int fd = ::open(spec.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                if (!spec.pipeOutput) ::dup2(fd, 1);
                ::dup2(fd, 2);
            }
        }
        if (!spec.workingDirectory.empty() && ::chdir(spec.workingDirectory.c_str()) != 0) ::_exit(126);
        ::execve(argv[0], argv.data(), env.data());
        ::_exit(127);
    }
    if (spec.pipeInput) {
        ::close(in[0]);
        child->input = in[1];
    }
    if (spec.pipeOutput) {
        ::close(out[1]);
        child->output = out[0];
    }
    child->pid = pid;
    return true;
}

bool ChildRunning(Child* child) {
    if (child->pid <= 0 || child->exited) return false;
    int status = 0;
    const pid_t r = ::waitpid(child->pid, &status, WNOHANG);
    if (r == child->pid) {
        child->exited = true;
        child->status = status;
        return false;
    }
    return true;
}

int StopChild(Child* child, int signal, double seconds) {
    if (ChildRunning(child)) {
        ::kill(child->pid, signal);
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (ChildRunning(child) && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (ChildRunning(child)) {
            ::kill(child->pid, SIGKILL);
            int status = 0;
            ::waitpid(child->pid, &status, 0);
            child->exited = true;
            child->status = status;
        }
    }
    if (child->input >= 0) ::close(child->input);
    child->input = -1;
    if (!child->exited) return -1;
    return WIFEXITED(child->status) ? WEXITSTATUS(child->status) : -1;
}

}  // namespace e2e
