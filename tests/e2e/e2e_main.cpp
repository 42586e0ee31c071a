// End-to-end test driver: runs orvvarnoth against orv-dbnode inside a
// private network namespace.
//   orv_e2e_driver link|flight DBNODE CLIENT PLAN
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/e2e/e2e.h"
#include "tests/support/netns_guard.h"
#include "tools/dbnode/nav_math.h"
#include "tools/dbnode/plan_file.h"

namespace e2e {
namespace {

const char kConnected[] = "GetUdpMsg() - Connected to DB";
const char kDisconnected[] = "Monitor() - Disconnected";

void Step(const Session& s, const char* what) { std::printf("%6.1f s  %s\n", Elapsed(s), what); }

// Keep-alives both ways, updates reaching the client and its sets reaching
// the node, the link kept by the node's keep-alives alone.
void RunLink(Session* s, const FlightPlan& plan) {
    // The reference course to point 0 is taken from the streamed position:
    // right only when the real-valued updates arrived intact.
    if (!WaitFor(*s, kNode, "SET 221 =", 1, 10)) Fail(s, "the client never published a reference course (221)");
    double course = -1;
    for (const std::string& line : ReadLines(*s, kNode)) std::sscanf(line.c_str(), "SET 221 = %lf", &course);
    const double expected = dbnode::BearingDeg(46.8, 8.0, plan.points[0].latitude, plan.points[0].longitude);
    std::printf("          reference course %.2f, expected about %.2f\n", course, expected);
    if (std::fabs(dbnode::TurnDeg(course, expected)) > 1.5) Fail(s, "reference course does not match the position");
    // The altitude target goes out only once the client has seen variable 52.
    if (!WaitFor(*s, kNode, "SET 123 = 5000", 1, 10)) Fail(s, "no set of 123 from the client: variable 52 not seen?");

    Step(*s, "updates off for 33 s: the node's keep-alives alone must keep the link");
    Tell(s, "updates off");
    std::this_thread::sleep_for(std::chrono::seconds(33));
    if (Count(*s, kLog, kDisconnected) != 0) Fail(s, "client disconnected although keep-alives went on");
    if (Count(*s, kNode, "KEEPALIVE from client") < 2) Fail(s, "fewer than two keep-alives from the client");
    Tell(s, "updates on");
}

// The link dropped on silence and made again. The client drops it at the
// monitor pass that finds the sixth silent period, and asks for the address
// in that same pass; the node speaks again at once, so the next pass, 5 s
// on, reconnects.
void RunSilence(Session* s) {
    Step(*s, "silent: the client must drop the link and make it again");
    const int requests = Count(*s, kNode, "REQUEST from");
    Tell(s, "silent 40");
    if (!WaitFor(*s, kLog, kDisconnected, 1, 45)) Fail(s, "client did not notice the silence");
    Tell(s, "silent 0");
    if (!WaitFor(*s, kLog, kConnected, 2, 30)) Fail(s, "client did not reconnect");
    if (Count(*s, kNode, "REQUEST from") <= requests) Fail(s, "no new address request after the silence");
}

// Flies the plan with LNAV and VNAV armed by the node, at twelve times real
// time: the FMC steers once a real second, so a faster clock lets one late
// cycle under a loaded machine (or a sanitizer) carry the aircraft off track.
void RunFlight(Session* s, const FlightPlan& plan) {
    Step(*s, "flying");
    Tell(s, "speedup 12");
    while (Elapsed(*s) < 225 && ClientRunning(*s) && Count(*s, kNode, "ACTIVE POINT NONE") == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));  // the end-of-plan sets that follow 222 = -1
    if (Count(*s, kLog, kDisconnected) != 0) Fail(s, "the link dropped during the flight");
    for (const std::string& f : CheckFlight(ReadLines(*s, kNode), plan)) Fail(s, f);
}

}  // namespace
}  // namespace e2e

namespace {

// One run of the client against the node: the exit code.
int Run(const std::string& mode, const char* dbnode, const char* client, const FlightPlan& plan,
        const char* planFile) {
    std::vector<std::string> args = {"--plan", planFile, "--pos-every"};
    if (mode == "flight") {
        // Six nm south of point 0 of the short plan, at real time until the
        // client is connected (how long that takes is up to its monitor).
        args.insert(args.end(), {"0.25", "--airborne", "46.9,8.0,0,3000,250", "--arm-nav"});
    } else {
        args.insert(args.end(), {"0", "--airborne", "46.8,8.0,0,3000,250"});
    }
    e2e::Session s;
    if (!e2e::Start(&s, dbnode, client, args)) return e2e::Finish(s);
    e2e::Step(s, ("waiting for the connection (" + mode + ")").c_str());
    if (!e2e::WaitFor(s, e2e::kLog, e2e::kConnected, 1, 20)) e2e::Fail(&s, "client never logged the connection");
    if (mode == "link") e2e::RunLink(&s, plan);
    if (mode == "silence") e2e::RunSilence(&s);
    if (mode == "flight") e2e::RunFlight(&s, plan);
    if (!e2e::ClientRunning(s)) e2e::Fail(&s, "client ended during the run");
    if (e2e::Count(s, e2e::kNode, "BAD update") + e2e::Count(s, e2e::kNode, "BAD datagram") > 0) {
        e2e::Fail(&s, "the client sent malformed datagrams");
    }
    e2e::End(&s);
    if (e2e::Elapsed(s) > 240) e2e::Fail(&s, "run took longer than 4 minutes");
    return e2e::Finish(s);
}

// Runs `mode` in a child of its own, in a new private network namespace
// (each client and node needs the ports to itself). The child's pid, or -1.
pid_t RunInOwnNamespace(const std::string& mode, const char* dbnode, const char* client,
                        const FlightPlan& plan, const char* planFile) {
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (::unshare(CLONE_NEWNET) != 0 || std::system("ip link set lo up") != 0) {
        std::printf("FAIL: no private network namespace for the %s run\n", mode.c_str());
        std::_Exit(1);
    }
    testsupport::RequirePrivateNetworkNamespace();
    std::fflush(stdout);
    std::_Exit(Run(mode, dbnode, client, plan, planFile));
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string mode = argc == 5 ? argv[1] : "";
    if (mode != "link" && mode != "flight") {
        std::fprintf(stderr, "usage: %s link|flight DBNODE CLIENT PLAN\n", argv[0]);
        return 2;
    }
    FlightPlan plan;
    std::string error;
    if (!dbnode::LoadPlanFile(argv[4], 1, &plan, &error)) {
        std::printf("FAIL: plan: %s\n", error.c_str());
        return 1;
    }
    if (mode == "flight") return Run(mode, argv[2], argv[3], plan, argv[4]);
    // The silence and the keep-alive runs each need more than six of the
    // monitor's 5 s periods: they run side by side.
    const pid_t silence = RunInOwnNamespace("silence", argv[2], argv[3], plan, argv[4]);
    const int code = Run(mode, argv[2], argv[3], plan, argv[4]);
    int status = 0;
    const bool silenceOk = silence > 0 && ::waitpid(silence, &status, 0) == silence && WIFEXITED(status) &&
                           WEXITSTATUS(status) == 0;
    if (!silenceOk) std::printf("FAIL: the silence run failed\n");
    return code != 0 || !silenceOk ? 1 : 0;
}
