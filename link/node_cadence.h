// How often the DB node sends, learned from its datagrams, and so how long a
// silence means stale data. A node may stream, or send only changes and a
// keep-alive every few seconds: both are healthy at their own pace.
#pragma once
#include <cstdint>

// The floor: a silence shorter than this is never stale.
constexpr std::int64_t kMinStaleMs = 2000;

// Receiver thread: a datagram from the node arrived at `nowMs` (steady clock).
void NoteNodeDatagram(std::int64_t nowMs);

// Any thread: the silence beyond which the data are stale: the larger of
// kMinStaleMs and three times the longest gap between the node's datagrams
// over about the last minute. While fewer than three gaps are known, a
// keep-alive's usual gap (5 s) stands in for the longest.
std::int64_t StaleThresholdMs();

// Forgets what was learned (a new node; tests).
void ResetNodeCadence();
