#include "web/listener.h"

#include <chrono>
#include <memory>

#include "base/log.h"
#include "platform/net.h"
#include "web/http_session.h"

namespace web::serving {
namespace {

using error_code = boost::beast::error_code;

// A failed accept is tried again after this: most failures (out of
// descriptors, out of memory) last a while, and trying at once would spin.
constexpr auto kAcceptRetry = std::chrono::milliseconds(100);

// A platform socket option in the shape Asio's set_option takes.
class NativeOption {
public:
    explicit NativeOption(platform::SocketOption option) : option_(option) {}
    template <class Protocol> int level(const Protocol&) const { return option_.level; }
    template <class Protocol> int name(const Protocol&) const { return option_.name; }
    template <class Protocol> const void* data(const Protocol&) const { return &option_.value; }
    template <class Protocol> std::size_t size(const Protocol&) const { return sizeof option_.value; }

private:
    platform::SocketOption option_;
};

// Writes a line even with every descriptor taken: the reserve is let go
// for it and taken back at once.
void LogWithReserve(ServerState& server, const std::string& line) {
    error_code ec;
    server.reserve.close(ec);
    WriteLog(line.c_str());
    server.reserve.open(tcp::v4(), ec);
}

// Logged once per run of failures; tried again after a pause, so that a
// lasting failure neither spins nor ends the serving.
void AcceptFailed(ServerState& server, const error_code& ec) {
    error_code ignored;
    if (!server.acceptFailing)
        LogWithReserve(server, "Web server cannot accept connections: " + ec.message() + "; trying again every " +
                                   std::to_string(kAcceptRetry.count()) + " ms\n");
    else if (!server.reserve.is_open())
        server.reserve.open(tcp::v4(), ignored);  // taken back once there is room
    server.acceptFailing = true;
    server.acceptRetry.expires_after(kAcceptRetry);
    server.acceptRetry.async_wait([&server](error_code waited) {
        if (!waited) Accept(server);
    });
}

}  // namespace

bool Listen(ServerState& server, std::string* error) {
    const tcp::endpoint where(asio::ip::address_v4(server.config.address), server.config.port);
    error_code ec;
    server.acceptor.open(where.protocol(), ec);
    if (!ec) server.acceptor.set_option(NativeOption(platform::ListenerPortOption()), ec);
    if (!ec) server.acceptor.bind(where, ec);
    if (!ec) server.acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (!ec) server.reserve.open(tcp::v4(), ec);
    if (ec) {
        *error = ec.message();
        return false;
    }
    return true;
}

void Accept(ServerState& server) {
    server.acceptor.async_accept([&server](error_code ec, tcp::socket socket) {
        if (ec == asio::error::operation_aborted) return;  // the acceptor is closed: nothing to wait for
        if (ec) {
            AcceptFailed(server, ec);
            return;
        }
        if (server.acceptFailing) {
            server.acceptFailing = false;
            LogWithReserve(server, "Web server accepting connections again\n");
        }
        std::make_shared<HttpSession>(server, std::move(socket))->Read();
        Accept(server);
    });
}

}  // namespace web::serving
