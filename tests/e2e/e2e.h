// End-to-end runs: orv-dbnode and orvvarnoth side by side in a scratch
// directory; what the node prints and the client's log are read as they grow.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "protocol/flight_plan.h"

namespace e2e {

inline constexpr char kNode[] = "/dbnode.out";      // the node's output
inline constexpr char kLog[] = "/ORVVarnoth.log";  // the client's log

struct Session {
    std::string directory;
    pid_t node = -1, client = -1;
    int nodeIn = -1;  // the node's standard input
    std::vector<std::string> failures;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

// Starts the node with `nodeArgs` and, once it is ready, the client.
bool Start(Session* s, const std::string& dbnode, const std::string& client, const std::vector<std::string>& nodeArgs);
double Elapsed(const Session& s);
void Fail(Session* s, const std::string& what);
std::vector<std::string> ReadLines(const Session& s, const char* file);
// Lines of `file` containing `text`; waiting up to `seconds` for `count` of them.
int Count(const Session& s, const char* file, const std::string& text);
bool WaitFor(const Session& s, const char* file, const std::string& text, int count, double seconds);
void Tell(Session* s, const std::string& command);  // a line to the node's standard input
bool ClientRunning(const Session& s);
// Quits the node and ends the client with SIGTERM; fails on an exit code
// other than 0 or on a sanitizer report from either program.
void End(Session* s);
int Finish(const Session& s);  // prints the outcome; the exit code

// The flight as the node saw it: the failures, none when it passes.
std::vector<std::string> CheckFlight(const std::vector<std::string>& lines, const FlightPlan& plan);

}  // namespace e2e
