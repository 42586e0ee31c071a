// What the server answers for a request path: one of the page's files
// compiled into the program, the templates, the WebSocket, or nothing.
// Never the file system.
#pragma once
#include <cstddef>
#include <string_view>

namespace model {
struct Catalog;
}

namespace web {

// A file of resources/web/, compiled in (the table is generated at build time).
struct EmbeddedFile {
    const char* name;  // e.g. "app.js"
    const unsigned char* data;
    std::size_t size;
};
extern const EmbeddedFile kEmbeddedFiles[];
extern const std::size_t kEmbeddedFileCount;

// Longest request target looked at; a longer one is refused.
constexpr std::size_t kMaxPathLength = 256;

// SetupPage and SetupSocket are behind the set-up door (web/setup_door.h).
enum class Route { File, Templates, Socket, SetupPage, SetupSocket, NotFound, BadRequest };

struct Resolved {
    Route route;
    const EmbeddedFile* file;  // Route::File
};

// Resolves a request target (path and optional query) against `files`.
// A panel's name in `panels` (when given) is the page itself.
Resolved ResolvePath(std::string_view target, const EmbeddedFile* files, std::size_t count,
                     const model::Catalog* panels = nullptr);

// The Content-Type for a file name, by its extension.
const char* ContentType(std::string_view name);

}  // namespace web
