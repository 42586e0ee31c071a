// The browser host: an HTTP and WebSocket server on a thread of its own
// that serves the page, the panel templates and a live mirror of the
// dialogs, and posts allowed browsers' commands to the GUI thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "web/allow_list.h"
#include "web/panel_set.h"

class ThreadOwner;
namespace model {
class SetupDesk;
}

namespace web {

struct ServerConfig {
    std::uint32_t address = 0;  // host byte order: the link's own address
    std::uint16_t port = 0;
    std::vector<std::string> names;   // webname: more names requests may use for the program
    std::vector<AllowedNet> allowed;  // webcontrol; empty: every browser is read-only
    PanelSet panels;
    std::vector<AllowedNet> setupNets;  // websetup: besides the PC itself, who may open the set-up page
    // nullptr: no set-up page at all. Given, its published control and
    // set-up lists replace the two above once it has published anything.
    model::SetupDesk* setup = nullptr;  // outlives the server
};

// Binds and starts serving on a thread started through `threads`; the
// server runs until they are stopped, and then closes every connection.
// false with a reason in `error` when the address and port cannot be bound.
// Each call starts a server of its own (the program starts one), on the GUI
// thread after the windows exist.
bool StartWebServer(ThreadOwner& threads, const ServerConfig& config, std::string* error);

}  // namespace web
