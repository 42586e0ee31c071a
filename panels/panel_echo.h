// Values just set from a panel that the simulator has not yet reported
// back. Written by the panel handlers on the GUI thread, read and cleared by
// the refresh thread: every field is atomic (relaxed) and read or written
// whole, without a lock.
#pragma once
#include <atomic>
#include <cstdint>

struct PanelEchoRecord {
    std::atomic<std::int32_t> pendingHeading{0};
    std::atomic<std::int32_t> pendingAltitude{0};
    std::atomic<std::int32_t> pendingSpeed{0};
    std::atomic<bool> headingPending{false};
    std::atomic<bool> altitudePending{false};
    std::atomic<bool> speedPending{false};
    std::atomic<std::int32_t> echoTicks{0};  // shared by the three fields above
    std::atomic<std::int32_t> pendingCourseCapt{0};
    std::atomic<std::int32_t> pendingCourseFO{0};
    std::atomic<bool> courseCaptPending{false};
    std::atomic<bool> courseFOPending{false};
};

extern PanelEchoRecord PanelEcho;
