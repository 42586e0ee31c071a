// One browser connection until its request is read: a file or a refusal is
// answered (keeping the connection alive when asked), an upgrade hands the
// socket to the panels or set-up page's session. Server thread only.
#pragma once
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <memory>
#include <optional>

#include "web/server_state.h"

namespace web::serving {

class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    HttpSession(ServerState& server, tcp::socket socket);
    void Read();
    // Closes the connection: pushed out by newer ones still sending.
    void Drop();

private:
    void OnRead(boost::beast::error_code ec);

    ServerState& server_;
    boost::beast::tcp_stream stream_;
    boost::beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::empty_body>> parser_;
};

}  // namespace web::serving
