// How often the DB node sends, learned from its datagrams, and so how long a
// silence means stale data. A node may stream, or send only changes and a
// keep-alive every few seconds: both are healthy at their own pace.
#pragma once
#include <cstdint>

// The floor: a silence shorter than this is never stale.
constexpr std::int64_t kMinStaleMs = 2000;
// The ceiling: a silence longer than this is always stale, however slow or
// irregular the node has been.
constexpr std::int64_t kMaxStaleMs = 10000;

// Receiver thread: a datagram from the node arrived at `nowMs` (steady clock).
void NoteNodeDatagram(std::int64_t nowMs);

// Any thread: the silence beyond which the data are stale: three times the
// node's typical gap, between kMinStaleMs and kMaxStaleMs. The typical gap is
// the larger of the 95th percentile of the gaps over about the last minute
// (so one pause is not learned as the node's pace) and the longest of the
// last three gaps (so a node that slows down to keep-alives is followed at
// once). While fewer than three gaps are known, a keep-alive's usual gap (5 s)
// stands in.
std::int64_t StaleThresholdMs();

// Forgets what was learned (a new node; tests).
void ResetNodeCadence();
