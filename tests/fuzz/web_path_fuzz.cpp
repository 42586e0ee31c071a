// A request target, as any device on the LAN can send it: only the
// compiled-in files are ever served.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "web/site.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view target(reinterpret_cast<const char*>(data), size);
    const web::Resolved resolved = web::ResolvePath(target, web::kEmbeddedFiles, web::kEmbeddedFileCount);
    if (resolved.route == web::Route::BadRequest || resolved.route == web::Route::NotFound) return 0;
    const std::string_view path = target.substr(0, target.find('?'));
    // Anything answered is short, with no way up or out.
    if (size > web::kMaxPathLength || path.find("..") != std::string_view::npos ||
        path.find_first_of("%\\") != std::string_view::npos)
        __builtin_trap();
    if (resolved.route == web::Route::File) {
        bool embedded = false;
        for (std::size_t i = 0; i < web::kEmbeddedFileCount; ++i)
            embedded = embedded || resolved.file == &web::kEmbeddedFiles[i];
        if (!embedded || resolved.file->data == nullptr) __builtin_trap();
    }
    return 0;
}
