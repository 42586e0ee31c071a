// Test-only access to the Sim variable table's arrays. Nothing in the
// program includes this; tests use it to look at or stage the master table
// without a receiver.
#pragma once
#include <cstdint>

#include "link/var_table.h"

// Copies of one entry (no reference into the shared arrays escapes).
StdVar MasterEntryForTest(std::int32_t index);
StdVar WorkingEntryForTest(std::int32_t index);
SlotRecord SlotRecordForTest(std::int32_t slot);
std::int32_t HighestSlotForTest();

// Stores a value in the master table as an update would, and marks it changed.
void SetMasterIntForTest(std::int32_t index, std::int32_t value);
void SetMasterRealForTest(std::int32_t index, double value);
