#include "web/response.h"

namespace web {

const std::vector<Header>& SecurityHeaders() {
    static const std::vector<Header> headers = {
        {"Content-Security-Policy",
         "default-src 'self'; connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'"},
        {"X-Frame-Options", "DENY"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-cache"},
    };
    return headers;
}

Response BuildResponse(const RequestView& request, const SiteView& site) {
    Response r;
    r.headers = SecurityHeaders();
    const bool get = request.method == "GET" || request.method == "HEAD";
    const Resolved resolved = ResolvePath(request.target, site.files, site.fileCount, site.panels);
    const bool setupRoute = resolved.route == Route::SetupPage || resolved.route == Route::SetupSocket;
    const bool socket = get && request.upgrade &&
                        (resolved.route == Route::Socket ||
                         (resolved.route == Route::SetupSocket && site.setup == SetupDoor::Open));
    r.door = CheckDoor(*site.names, request.host, request.origin, socket);
    if (r.door == Door::NoHost) {
        r.status = 400;
    } else if (r.door != Door::Open) {
        r.status = 403;
    } else if (setupRoute && site.setup != SetupDoor::Open) {
        r.status = site.setup == SetupDoor::Absent ? 404 : 403;
    } else if (!get) {
        r.status = 405;
        r.headers.emplace_back("Allow", "GET, HEAD");
    } else if (socket) {
        r.accept = !site.socketsFull;
        r.setup = resolved.route == Route::SetupSocket;
        r.status = r.accept ? 101 : 503;  // 503: too many browsers already
    } else if (resolved.route == Route::File || resolved.route == Route::SetupPage) {
        r.status = 200;
        r.headers.emplace_back("Content-Type", ContentType(resolved.file->name));
        r.body.assign(reinterpret_cast<const char*>(resolved.file->data), resolved.file->size);
    } else if (resolved.route == Route::Templates) {
        r.status = 200;
        r.headers.emplace_back("Content-Type", "application/json");
        r.body = site.templatesJson;
    } else if (resolved.route == Route::BadRequest) {
        r.status = 400;
    } else {
        r.status = 404;  // also /ws without an upgrade
    }
    return r;
}

}  // namespace web
