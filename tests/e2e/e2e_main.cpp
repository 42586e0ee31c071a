// End-to-end test driver: runs orvvarnoth against orv-dbnode inside a
// private network namespace.
//   orv_e2e_driver link|flight DBNODE CLIENT PLAN
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
// the node; the link dropped on silence and made again.
void RunLink(Session* s, const FlightPlan& plan) {
    if (!WaitFor(*s, kNode, "KEEPALIVE from client", 2, 15)) Fail(s, "fewer than two keep-alives from the client");
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
    Tell(s, "updates on");

    Step(*s, "silent for 40 s: the client must drop the link and make it again");
    const int requests = Count(*s, kNode, "REQUEST from");
    Tell(s, "silent 40");
    if (!WaitFor(*s, kLog, kDisconnected, 1, 45)) Fail(s, "client did not notice the silence");
    if (!WaitFor(*s, kLog, kConnected, 2, 30)) Fail(s, "client did not reconnect");
    if (Count(*s, kNode, "REQUEST from") <= requests) Fail(s, "no new address request after the silence");
}

// Flies the plan with LNAV and VNAV armed by the node, at ten times real time.
void RunFlight(Session* s, const FlightPlan& plan) {
    Step(*s, "flying");
    while (Elapsed(*s) < 225 && ClientRunning(*s) && Count(*s, kNode, "ACTIVE POINT NONE") == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));  // the end-of-plan sets that follow 222 = -1
    if (Count(*s, kLog, kDisconnected) != 0) Fail(s, "the link dropped during the flight");
    for (const std::string& f : CheckFlight(ReadLines(*s, kNode), plan)) Fail(s, f);
}

}  // namespace
}  // namespace e2e

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
    std::vector<std::string> args = {"--plan", argv[4], "--airborne", "46.8,8.0,0,3000,250", "--pos-every"};
    if (mode == "link") args.push_back("0");
    else args.insert(args.end(), {"0.25", "--speedup", "10", "--arm-nav"});
    e2e::Session s;
    if (!e2e::Start(&s, argv[2], argv[3], args)) return e2e::Finish(s);
    e2e::Step(s, "waiting for the connection");
    if (!e2e::WaitFor(s, e2e::kLog, e2e::kConnected, 1, 20)) e2e::Fail(&s, "client never logged the connection");
    mode == "link" ? e2e::RunLink(&s, plan) : e2e::RunFlight(&s, plan);
    if (!e2e::ClientRunning(s)) e2e::Fail(&s, "client ended during the run");
    if (e2e::Count(s, e2e::kNode, "BAD update") + e2e::Count(s, e2e::kNode, "BAD datagram") > 0) {
        e2e::Fail(&s, "the client sent malformed datagrams");
    }
    e2e::End(&s);
    if (e2e::Elapsed(s) > 240) e2e::Fail(&s, "run took longer than 4 minutes");
    return e2e::Finish(s);
}
