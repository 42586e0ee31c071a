// Which variables the panels show: the ones the refresh has read. A
// datagram that changes one of them wakes the refresh early; a change to
// any other variable waits for the next cycle.
#pragma once
#include <cstdint>

// Notes that `index` is read, when the refresh is the reader (any thread).
void NoteVarRead(std::int32_t index);
// Whether the refresh has ever read `index` (any thread).
bool IsShownVar(std::int32_t index);
