// A recording stand-in for the variable operations: reads come from a
// settable table (sets do not change it, as if the simulator had not yet
// echoed them), and every set is recorded with the path it took.
#pragma once
#include <cstdint>
#include <map>
#include <ostream>
#include <vector>

namespace standin {

enum class Path { KeyCRi, SetIntVar, Dropped };  // Dropped: KeyCRi while not connected

struct Set {
    std::int32_t index;
    std::int32_t value;
    Path path;
    bool operator==(const Set&) const = default;
};

extern std::map<std::int32_t, std::int32_t> values;  // variable 52 is the connected flag
extern std::vector<Set> sets;

// Values cleared, variable 52 set (connected), nothing recorded.
void Reset();

std::ostream& operator<<(std::ostream& out, const Set& set);

}  // namespace standin
