// The link monitor thread: keep-alives while the link is up, address
// requests while it is down, and the disconnect after six silent periods.
#pragma once

constexpr int kMonitorPeriodMs = 5000;
constexpr int kMaxMissedPeriods = 5;  // more than this takes the link down

namespace platform {
class StopSignal;
}

// Thread body started by InitUdp: a period every 5 s until `stop` is requested.
void Monitor(platform::StopSignal& stop);

// One pass of the monitor loop after its sleep.
void MonitorPeriod();

// Builds and broadcasts one address request.
void RequestDbAddress();
