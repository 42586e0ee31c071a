// orv-dbnode's flight-plan text, as a tester writes it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/dbnode/plan_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FlightPlan plan{};
    std::string error;
    dbnode::ParsePlanText(text, 1, &plan, &error);
    return 0;
}
