// When the node next has something to do by itself: an update, a
// keep-alive, a POS line or the end of a silence. Between those it sleeps
// until a datagram or a command arrives.
#pragma once
#include <limits>

#include "tools/dbnode/node.h"

namespace dbnode {

constexpr double kNever = std::numeric_limits<double>::infinity();

// Absolute time (the clock of TickNode) of the next due event; kNever when
// only input can wake the node. The model needs no wake-up of its own: it
// catches up with the elapsed time on the next tick.
double NextDue(const Node& node, double now);

// Seconds to sleep from `now` until `due`: 0 when already due, -1 for kNever.
double SleepSeconds(double now, double due);

}  // namespace dbnode
