// Small helpers shared by the four panels: field texts, check boxes, the
// conversions between reported reals and shown integers, and the echo hold.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/dialog.h"

namespace panels {

constexpr int kFieldTextSize = 100;  // at most 99 characters per field

// Formats into a field-sized buffer and writes it to control `id`.
void WriteText(platform::Dialog* dialog, int id, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Ticks control `id` when `value` is nonzero.
void WriteCheck(platform::Dialog* dialog, int id, std::int32_t value);

// The unsigned integer a field shows: leading blanks skipped, digits up to
// the first non-digit, 0 without digits. Absurdly long digit strings stop
// growing at INT32_MAX rather than overflowing.
std::int32_t ShownValue(platform::Dialog* dialog, int id);

// A reported real as an integer, truncated toward zero. Values beyond the
// 32-bit range saturate and NaN gives 0: the numbers come off the wire.
std::int32_t TruncateReal(double value);
// The same after the 0.01 bias that set-point fields use.
inline std::int32_t BiasedReal(double value) { return TruncateReal(value + 0.01); }

// Saturates a wide intermediate result to the 32-bit range.
std::int32_t ClampToInt32(std::int64_t value);

// Up-down deltas count the up arrow as negative; steps count it positive.
// Widened so that negating the most negative delta stays defined.
inline std::int64_t StepsOf(int delta) { return -static_cast<std::int64_t>(delta); }

// A check box that mirrors variable `index`: ticked with the variable at 0
// sends 1, unticked with it nonzero sends 0, otherwise nothing is sent.
void SyncCheckToVar(platform::Dialog* dialog, int id, std::int32_t index);

// GUI side of a held value: publish the value, then raise its flag, so the
// refresh thread that sees the flag also sees the value.
void HoldValue(std::atomic<std::int32_t>& value, std::atomic<bool>& pending,
               std::int32_t newValue);

// Refresh side: lower the flag of a hold whose value was `seen`, unless the
// GUI thread has published a different value meanwhile (that hold stays).
void ReleaseHold(std::atomic<bool>& pending, const std::atomic<std::int32_t>& value,
                 std::int32_t seen);

}  // namespace panels
