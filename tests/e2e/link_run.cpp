#include "tests/e2e/runs.h"

#include <cmath>
#include <cstdio>

#include "tools/dbnode/nav_math.h"
#include "tools/dbnode/plan_file.h"

namespace e2e {

// Connect, keep-alives both ways, updates reaching the client; the client
// keeps the link on keep-alives alone, drops it when the node falls silent
// and comes back; malformed datagrams do not upset it.
int RunLink(const SessionPaths& paths, const std::string& planFile) {
    FlightPlan plan;
    std::string error;
    if (!dbnode::LoadPlanFile(planFile, 1, &plan, &error)) {
        std::printf("FAIL: plan: %s\n", error.c_str());
        return 1;
    }
    Session s;
    if (!StartSession(&s, paths, {"--plan", planFile, "--airborne", "46.8,8.0,0,3000,250", "--pos-every", "0"}, &error)) {
        std::printf("FAIL: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::string> failures;
    auto fail = [&](const std::string& what) {
        std::printf("  failed: %s (at %.1f s)\n", what.c_str(), Elapsed(s));
        failures.push_back(what);
    };
    auto step = [&](const char* what) { std::printf("%6.1f s  %s\n", Elapsed(s), what); };

    step("waiting for the connection");
    if (!WaitForLog(&s, "GetUdpMsg() - Connected to DB", 1, 20)) fail("client never logged the connection");
    if (CountLines(s.transcript, "REPLY") < 1) fail("node never replied to an address request");

    step("keep-alives from the client");
    if (!WaitForNodeLines(&s, "KEEPALIVE from client", 2, 15)) fail("fewer than two keep-alives from the client");

    // The client takes the reference course to point 0 from the position the
    // node streamed: only right if the real-valued updates arrived intact.
    step("updates reaching the client");
    if (!WaitForNodeLines(&s, "SET 221 =", 1, 10)) {
        fail("the client never published a reference course (221)");
    } else {
        double course = -1;
        for (const Event& e : s.transcript) {
            if (e.kind == EventKind::kSet && e.index == 221) course = e.value;
        }
        const double expected = dbnode::BearingDeg(46.8, 8.0, plan.points[0].latitude, plan.points[0].longitude);
        std::printf("          reference course %.2f, expected about %.2f\n", course, expected);
        if (std::fabs(dbnode::TurnDeg(course, expected)) > 1.5) fail("reference course does not match the streamed position");
    }
    // Variable 52 gates the confirmed sets: the altitude target only goes out
    // when the client has seen "simulator connected".
    if (!WaitForNodeLines(&s, "SET 123 = 5000", 1, 10)) fail("no confirmed set (123) from the client: variable 52 not seen?");

    step("updates off for 33 s: keep-alives alone must keep the link");
    Tell(&s, "updates off");
    Pump(&s, 33);
    if (CountLog(s, "Monitor() - Disconnected") != 0) fail("client disconnected although keep-alives went on");
    Tell(&s, "updates on");

    step("silent for 40 s: the client must drop the link and come back");
    const int requestsBefore = CountLines(s.transcript, "REQUEST");
    Tell(&s, "silent 40");
    if (!WaitForLog(&s, "Monitor() - Disconnected", 1, 45)) fail("client did not notice the silence");
    if (!WaitForLog(&s, "GetUdpMsg() - Connected to DB", 2, 30)) fail("client did not reconnect");
    if (CountLines(s.transcript, "REQUEST") <= requestsBefore) fail("no new address request after the silence");

    step("malformed datagrams");
    Tell(&s, "bad plansize");
    if (!WaitForLog(&s, "Flight Plan size mismatch", 1, 5)) fail("flight plan of the wrong size not reported");
    Tell(&s, "bad short");
    Pump(&s, 2);
    if (!ChildRunning(&s.client)) fail("client ended after malformed datagrams");

    if (CountLines(s.transcript, "BAD update") + CountLines(s.transcript, "BAD datagram") > 0) {
        fail("the client sent malformed datagrams");
    }
    const int code = EndSession(&s);
    if (code != 0) fail("client exit code " + std::to_string(code) + " after SIGTERM");
    if (CountSanitizerReports(s) > 0) fail("sanitizer reports in the programs' output");
    std::printf("%6.1f s  done\n", Elapsed(s));
    return Finish(s, failures);
}

}  // namespace e2e
