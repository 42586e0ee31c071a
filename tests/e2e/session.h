// One end-to-end run: orv-dbnode and orvvarnoth side by side in a scratch
// directory, the node's printed lines collected with their times, and the
// client's log read back as it grows.
#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"
#include "tests/e2e/transcript.h"

namespace e2e {

struct SessionPaths {
    std::string dbnode;
    std::string client;
};

struct Session {
    std::string directory;
    Child node;
    Child client;
    Transcript transcript;
    std::string pending;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    int shownLines = 0;
};

// Starts the node with `nodeArgs`, then the client (in the scratch directory,
// offscreen). False with a message when either cannot start.
bool StartSession(Session* s, const SessionPaths& paths, const std::vector<std::string>& nodeArgs,
                  std::string* error);

double Elapsed(const Session& s);

// Collects the node's lines for `seconds`.
void Pump(Session* s, double seconds);

// Waits up to `seconds` for the node to have printed `count` lines starting
// with `prefix`.
bool WaitForNodeLines(Session* s, const std::string& prefix, int count, double seconds);

// Waits up to `seconds` for `count` log lines containing `text`.
bool WaitForLog(Session* s, const std::string& text, int count, double seconds);
int CountLog(const Session& s, const std::string& text);
std::string ReadLog(const Session& s);

// A command line to the node's standard input.
void Tell(Session* s, const std::string& command);

// Quits the node and ends the client with SIGTERM; returns the client's exit code.
int EndSession(Session* s);

// Sanitizer reports either program wrote to its standard error.
int CountSanitizerReports(const Session& s);

// Prints the tail of the client's log and of the node's transcript.
void DumpSession(const Session& s);

}  // namespace e2e
