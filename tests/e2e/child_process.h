// Starting and ending the two programs of an end-to-end run.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

struct Child {
    pid_t pid = -1;
    int input = -1;   // its standard input, when piped
    int output = -1;  // its standard output, when piped
    bool exited = false;
    int status = 0;
};

struct ChildSpec {
    std::vector<std::string> argv;
    std::string workingDirectory;        // empty: inherit
    std::vector<std::string> extraEnv;   // "NAME=value"
    bool pipeInput = false;
    bool pipeOutput = false;
    std::string outputFile;  // standard output and error when not piped
};

bool StartChild(const ChildSpec& spec, Child* child, std::string* error);

// True while it runs; reaps it when it has ended.
bool ChildRunning(Child* child);

// Sends `signal`, waits up to `seconds`, then kills it. Returns the exit
// code, or -1 when it ended by a signal.
int StopChild(Child* child, int signal, double seconds);

}  // namespace e2e
