// Every HTTP answer of the browser host, built in one place from the request
// alone: the door checks, the method, the route, and the same security
// headers on every answer, refusals included. Pure, so it is tested without
// sockets; the server only writes what this gives.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "web/host_check.h"
#include "web/setup_door.h"
#include "web/site.h"

namespace web {

struct RequestView {
    std::string_view method;  // "GET", "HEAD", ...
    std::string_view target;
    HeaderSeen host;
    HeaderSeen origin;
    bool upgrade = false;  // asks for a WebSocket
};

struct SiteView {
    const HostNames* names;
    const EmbeddedFile* files;
    std::size_t fileCount;
    std::string_view templatesJson;
    bool socketsFull;  // no room for another WebSocket
    const model::Catalog* panels;  // whose names are the page itself
    SetupDoor setup = SetupDoor::Absent;  // for this request's remote address
};

using Header = std::pair<std::string, std::string>;

struct Response {
    bool accept = false;  // hand the connection over to the WebSocket
    bool setup = false;   // ... the set-up page's one
    Door door = Door::Open;
    int status = 0;
    std::vector<Header> headers;  // the security headers first
    std::string body;
};

// No page may frame the panels, run scripts or connect anywhere but the
// program itself, and nothing is shared with other sites.
const std::vector<Header>& SecurityHeaders();

Response BuildResponse(const RequestView& request, const SiteView& site);

}  // namespace web
