// What orv-dbnode printed, as timed events: the variable sets it received,
// its aircraft positions, and every other line kept as text.
#pragma once
#include <string>
#include <vector>

namespace e2e {

enum class EventKind { kSet, kPosition, kOther };

struct Event {
    double time = 0;  // wall seconds since the run started
    EventKind kind = EventKind::kOther;
    int index = 0;     // kSet
    double value = 0;  // kSet
    double latitude = 0, longitude = 0, heading = 0, altitude = 0;  // kPosition
    std::string text;
};

// Reads one printed line. Malformed SET or POS lines become kOther.
Event ParseLine(const std::string& line, double time);

using Transcript = std::vector<Event>;

int CountLines(const Transcript& transcript, const std::string& prefix);

}  // namespace e2e
