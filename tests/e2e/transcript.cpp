#include "tests/e2e/transcript.h"

#include <cstdio>

namespace e2e {

Event ParseLine(const std::string& line, double time) {
    Event e;
    e.time = time;
    e.text = line;
    int index = 0;
    double value = 0;
    char tail = 0;
    if (std::sscanf(line.c_str(), "SET %d = %lf %c", &index, &value, &tail) == 2) {
        e.kind = EventKind::kSet;
        e.index = index;
        e.value = value;
        return e;
    }
    double lat = 0, lon = 0, hdg = 0, alt = 0;
    if (std::sscanf(line.c_str(), "POS %lf %lf HDG %lf ALT %lf", &lat, &lon, &hdg, &alt) == 4) {
        e.kind = EventKind::kPosition;
        e.latitude = lat;
        e.longitude = lon;
        e.heading = hdg;
        e.altitude = alt;
    }
    return e;
}

int CountLines(const Transcript& transcript, const std::string& prefix) {
    int count = 0;
    for (const Event& e : transcript) {
        if (e.text.compare(0, prefix.size(), prefix) == 0) ++count;
    }
    return count;
}

}  // namespace e2e
