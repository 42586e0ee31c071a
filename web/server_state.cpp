#include "web/server_state.h"

#include "base/log.h"
#include "platform/ipv4.h"
#include "web/viewer_session.h"

namespace web::serving {

std::uint32_t RemoteAddress(const tcp::socket& socket) {
    boost::beast::error_code ec;
    const tcp::endpoint remote = socket.remote_endpoint(ec);
    if (ec || !remote.address().is_v4()) return 0;
    return remote.address().to_v4().to_uint();
}

void LogRefusalOnce(ServerState& server, std::uint32_t remote, const std::string& why, std::string_view what) {
    if (!server.refusalsLogged.emplace(remote, why).second) return;
    std::string line = "Web " + std::string(what.empty() ? "commands" : "request") + " from " +
                       platform::FormatIpv4(remote) + " refused: " + why;
    if (!what.empty()) {
        line += " ";
        std::string shown;
        for (const char c : what.substr(0, 100)) shown += c >= ' ' && c <= '~' ? c : '?';
        line += Escaped(shown);
    }
    line += "\n";
    WriteLog(line.c_str());
}

std::vector<std::shared_ptr<WsSession>> Viewers(const ServerState& server) {
    return std::vector<std::shared_ptr<WsSession>>(server.viewers.begin(), server.viewers.end());
}

void Broadcast(ServerState& server, const Frame& frame) {
    for (const std::shared_ptr<WsSession>& viewer : Viewers(server)) viewer->Send(frame);
}

}  // namespace web::serving
