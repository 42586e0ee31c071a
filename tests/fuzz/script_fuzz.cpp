// orv-dbnode's command script, read line by line from standard input or a
// scenario file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/dbnode/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        dbnode::Command command;
        std::string error;
        dbnode::ParseCommand(text.substr(start, end - start), &command, &error);
        start = end + 1;
    }
    return 0;
}
