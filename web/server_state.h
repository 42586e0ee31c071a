// The browser host's inner parts, shared by its sessions: one server's
// state, what every session uses of it, and the set-up page's socket.
// Only web/ includes this.
#pragma once
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "web/control_asks.h"
#include "web/host_check.h"
#include "web/response.h"
#include "web/send_queue.h"
#include "web/server.h"
#include "web/setup_door.h"

namespace web::serving {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;

// Frames waiting for one browser before it is dropped to a snapshot.
constexpr std::size_t kMaxQueuedFrames = 256;
// A panels page gets values several times a second: a few frames waiting
// already mean it is behind, and what waits would only show it the past.
// Bytes too, so that many sleeping tablets hold little memory (a snapshot
// is queued whatever its size).
constexpr std::size_t kMaxViewerFrames = 8;
constexpr std::size_t kMaxViewerBytes = 64 * 1024;
// The kernel's send buffer of a panels socket: what it holds has been
// handed over and cannot be replaced by a snapshot any more.
constexpr int kViewerSendBuffer = 16 * 1024;

// What every WebSocket of the server gets before its handshake is accepted:
// a browser that neither sends nor answers a ping for 20 s is gone (its
// connection and queue are let go; browsers answer pings by themselves, so
// a page that only watches stays), frames above `maxFrame` close it, and
// the handshake's answer carries the security headers.
template <class Stream>
void PrepareWebSocket(Stream& ws, std::size_t maxFrame) {
    namespace websocket = boost::beast::websocket;
    websocket::stream_base::timeout timeout{};
    timeout.handshake_timeout = std::chrono::seconds(10);
    timeout.idle_timeout = std::chrono::seconds(20);
    timeout.keep_alive_pings = true;
    ws.set_option(timeout);
    ws.read_message_max(maxFrame);
    ws.set_option(websocket::stream_base::decorator([](websocket::response_type& response) {
        for (const Header& header : SecurityHeaders()) response.set(header.first, header.second);
    }));
}

class WsSession;
class SetupSession;
class HttpSession;

// Any unsigned number, for the codes of asks for control.
std::uint32_t RandomCodeSource();

// One server's state, handed to its sessions. It lives as long as its
// thread, which runs until its owner stops it (the acceptor always waits for
// a connection or for its retry), and is destroyed there.
struct ServerState {
    explicit ServerState(const ServerConfig& c)
        : config(c), acceptor(io), controlNets(c.allowed), setupNets(c.setupNets) {}
    ServerConfig config;
    // Before the context: sessions still held by its handlers count
    // themselves out while it is destroyed.
    int sockets = 0;  // WebSocket sessions, watching or still in their handshake
    asio::io_context io{1};
    tcp::acceptor acceptor;
    asio::steady_timer linkTimer{io};
    asio::steady_timer acceptRetry{io};
    // A descriptor held back for the log: when accepting fails for want of
    // descriptors, the log file could not be opened either.
    tcp::socket reserve{io};
    bool acceptFailing = false;  // logged; logged again once it works
    std::atomic<int> viewerCount{0};  // read by the refresh thread
    std::string templatesJson;
    // Server thread only.
    std::unordered_set<std::shared_ptr<WsSession>> viewers;
    std::unordered_set<std::shared_ptr<SetupSession>> setupPages;
    // In effect now: the configuration's, then the desk's once it publishes.
    std::vector<AllowedNet> controlNets;
    std::vector<AllowedNet> setupNets;
    ControlAsks asks{RandomCodeSource};  // server thread only
    std::uint64_t nextSocketId = 1;      // server thread only
    std::string namesFrame;
    std::atomic<bool> deskPosted{false};  // a desk change is on its way to the server thread
    HostNames names;
    // Refusals already logged, by browser address and reason.
    std::set<std::pair<std::uint32_t, std::string>> refusalsLogged;
    std::deque<std::weak_ptr<HttpSession>> pending;
    // Batches handed over by the refresh thread, with their cycles.
    std::mutex inboxMutex;
    std::vector<std::pair<std::uint64_t, Frame>> inbox;
    bool drainPosted = false;
};

SetupDoor SetupDoorFor(const ServerState& server, std::uint32_t remote);

// The browser's address (host byte order); 0 when not IPv4 or unknown.
std::uint32_t RemoteAddress(const tcp::socket& socket);
// Logs a refusal the first time it happens to a browser address. `what`
// may come from the browser: only printable ASCII, and not too much of it.
void LogRefusalOnce(ServerState& server, std::uint32_t remote, const std::string& why,
                    std::string_view what = {});
// The panels pages open now. Sending may close a viewer, which leaves the
// set: callers walk this copy.
std::vector<std::shared_ptr<WsSession>> Viewers(const ServerState& server);
void Broadcast(ServerState& server, const Frame& frame);

// The set-up page's socket (web/setup_session.cpp), on the server thread.
void StartSetupSession(ServerState& server, tcp::socket socket, std::uint32_t remote,
                       http::request<http::empty_body> request);
// The desk or the asks changed: every set-up page gets a fresh frame soon.
void SetupPagesChanged(ServerState& server);
// The set-up list changed: pages no longer let in are closed.
void SetupDoorsChanged(ServerState& server);

}  // namespace web::serving
