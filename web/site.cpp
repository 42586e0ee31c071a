#include "web/site.h"

#include "model/panel_model.h"

namespace web {
namespace {

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

const EmbeddedFile* Find(std::string_view name, const EmbeddedFile* files, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (name == files[i].name) return &files[i];
    return nullptr;
}

}  // namespace

Resolved ResolvePath(std::string_view target, const EmbeddedFile* files, std::size_t count,
                     const model::Catalog* panels) {
    if (target.size() > kMaxPathLength || target.empty() || target[0] != '/') return {Route::BadRequest, nullptr};
    const std::size_t query = target.find('?');
    const std::string_view path = target.substr(0, query);
    // Only plain names are ever served: no escapes, no parent or hidden
    // steps, no second level.
    for (const char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '-' || c == '_' || c == '/';
        if (!plain) return {Route::BadRequest, nullptr};
    }
    if (path == "/setup/socket") return {Route::SetupSocket, nullptr};
    if (path == "/setup") {
        const EmbeddedFile* page = Find("setup.html", files, count);
        return page != nullptr ? Resolved{Route::SetupPage, page} : Resolved{Route::NotFound, nullptr};
    }
    if (path.find("..") != std::string_view::npos || path.find('/', 1) != std::string_view::npos)
        return {Route::NotFound, nullptr};
    if (path == "/ws") return {Route::Socket, nullptr};
    if (path == "/templates.json") return {Route::Templates, nullptr};
    std::string_view name = path.substr(1);
    // A panel's own page ("/radios") is the whole page; it reads its address.
    if (panels != nullptr && panels->FindPanel(name) >= 0) name = "";
    if (name.empty()) name = "index.html";
    if (name[0] == '.') return {Route::NotFound, nullptr};
    // The set-up page only ever by its door.
    if (name == "setup.html") return {Route::NotFound, nullptr};
    const EmbeddedFile* file = Find(name, files, count);
    return file != nullptr ? Resolved{Route::File, file} : Resolved{Route::NotFound, nullptr};
}

const char* ContentType(std::string_view name) {
    if (EndsWith(name, ".html")) return "text/html; charset=utf-8";
    if (EndsWith(name, ".js")) return "text/javascript";
    if (EndsWith(name, ".css")) return "text/css";
    if (EndsWith(name, ".webmanifest")) return "application/manifest+json";
    if (EndsWith(name, ".svg")) return "image/svg+xml";
    if (EndsWith(name, ".json")) return "application/json";
    if (EndsWith(name, ".png")) return "image/png";
    return "application/octet-stream";
}

}  // namespace web
