// The server's listening socket: bound once, then accepting for as long as
// the server runs, each connection handed to an HTTP session.
#pragma once
#include <string>

#include "web/server_state.h"

namespace web::serving {

// Opens, binds and listens on the configured address and port; false with
// the reason in `error` when it cannot.
bool Listen(ServerState& server, std::string* error);
// Waits for the next connection, and again after each; a failure is
// logged once and tried again after a pause.
void Accept(ServerState& server);

}  // namespace web::serving
