#include "panels/panel_text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

#include "link/var_access.h"

namespace panels {

namespace {
constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();
}  // namespace

void WriteText(platform::Dialog* dialog, int id, const char* format, ...) {
    if (dialog == nullptr) return;
    char text[kFieldTextSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    dialog->SetItemText(id, text);
}

void WriteCheck(platform::Dialog* dialog, int id, std::int32_t value) {
    if (dialog == nullptr) return;
    dialog->SetItemCheck(id, value != 0);
}

std::int32_t ShownValue(platform::Dialog* dialog, int id) {
    if (dialog == nullptr) return 0;
    char text[kFieldTextSize];
    dialog->GetItemText(id, text, sizeof text);
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    std::int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > kIntMax) value = kIntMax;
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t TruncateReal(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(kIntMax)) return static_cast<std::int32_t>(kIntMax);
    if (value <= static_cast<double>(kIntMin)) return static_cast<std::int32_t>(kIntMin);
    return static_cast<std::int32_t>(value);  // truncates toward zero
}

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > kIntMax) return static_cast<std::int32_t>(kIntMax);
    if (value < kIntMin) return static_cast<std::int32_t>(kIntMin);
    return static_cast<std::int32_t>(value);
}

void SyncCheckToVar(platform::Dialog* dialog, int id, std::int32_t index) {
    if (dialog == nullptr) return;
    const bool ticked = dialog->GetItemCheck(id);
    const std::int32_t current = GetIntVar(index);
    if (ticked && current == 0) {
        KeyCRi(index, 1);
    } else if (!ticked && current != 0) {
        KeyCRi(index, 0);
    }
}

void HoldValue(std::atomic<std::int32_t>& value, std::atomic<bool>& pending,
               std::int32_t newValue) {
    value.store(newValue, std::memory_order_relaxed);
    pending.store(true, std::memory_order_release);
}

void ReleaseHold(std::atomic<bool>& pending, const std::atomic<std::int32_t>& value,
                 std::int32_t seen) {
    pending.exchange(false, std::memory_order_acq_rel);
    if (value.load(std::memory_order_relaxed) != seen) {
        pending.store(true, std::memory_order_relaxed);
    }
}

}  // namespace panels
