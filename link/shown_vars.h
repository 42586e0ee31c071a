// Which variables the panels show: the ones the refresh has read. A
// datagram that changes one of them calls the link's "shown value changed"
// callback (LinkServices: the panel model wakes its refresh early); a change
// to any other variable waits for the next cycle.
#pragma once
#include <cstdint>

// While one lives, the variables its thread reads count as shown: the
// refresh opens one around its cycle's reads.
class ShownReads {
public:
    ShownReads();
    ~ShownReads();
    ShownReads(const ShownReads&) = delete;
    ShownReads& operator=(const ShownReads&) = delete;
};

// Notes that `index` is read (any thread); counts only inside ShownReads.
void NoteVarRead(std::int32_t index);
// Whether the refresh has ever read `index` (any thread).
bool IsShownVar(std::int32_t index);
