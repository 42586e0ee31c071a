#include "web/http_session.h"

#include <boost/beast/websocket.hpp>

#include <chrono>
#include <string>
#include <string_view>

#include "model/panel_model.h"
#include "web/host_check.h"
#include "web/response.h"
#include "web/site.h"
#include "web/viewer_session.h"

namespace web::serving {
namespace {

namespace beast = boost::beast;
namespace websocket = beast::websocket;
using error_code = beast::error_code;

// Browsers watching at once; beyond it a new WebSocket is refused.
constexpr int kMaxViewers = 64;
// Connections still sending a request at once; a new one beyond it pushes
// out the oldest, so that idle or half-sent requests neither grow the
// program nor lock the page out.
constexpr std::size_t kMaxPending = 64;
constexpr std::size_t kMaxHeaderBytes = 4096;
// A browser has this long to send a request's header.
constexpr auto kRequestTimeout = std::chrono::seconds(10);

}  // namespace

HttpSession::HttpSession(ServerState& server, tcp::socket socket)
    : server_(server), stream_(std::move(socket)), buffer_(kMaxHeaderBytes) {}

void HttpSession::Read() {
    std::erase_if(server_.pending, [](const std::weak_ptr<HttpSession>& p) { return p.expired(); });
    if (server_.pending.size() >= kMaxPending) {
        if (const std::shared_ptr<HttpSession> oldest = server_.pending.front().lock()) oldest->Drop();
        server_.pending.pop_front();
    }
    server_.pending.push_back(weak_from_this());
    parser_.emplace();
    parser_->header_limit(kMaxHeaderBytes);
    parser_->body_limit(0);
    stream_.expires_after(kRequestTimeout);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](error_code ec, std::size_t) { self->OnRead(ec); });
}

void HttpSession::OnRead(error_code ec) {
    if (ec) {
        stream_.socket().shutdown(tcp::socket::shutdown_both, ec);
        return;
    }
    std::erase_if(server_.pending, [this](const std::weak_ptr<HttpSession>& p) {
        const std::shared_ptr<HttpSession> live = p.lock();
        return !live || live.get() == this;
    });
    http::request<http::empty_body> request = parser_->release();
    const auto header = [&request](http::field field) {
        const auto found = request.find(field);
        return HeaderSeen{static_cast<int>(request.count(field)),
                          found == request.end() ? std::string_view()
                                                 : std::string_view(found->value().data(), found->value().size())};
    };
    const std::string_view method(request.method_string().data(), request.method_string().size());
    const RequestView view{method, std::string_view(request.target().data(), request.target().size()),
                           header(http::field::host), header(http::field::origin), websocket::is_upgrade(request)};
    const std::uint32_t remote = RemoteAddress(stream_.socket());
    Response built = BuildResponse(
        view, SiteView{&server_.names, kEmbeddedFiles, kEmbeddedFileCount, server_.templatesJson,
                       server_.sockets >= kMaxViewers, &server_.config.panels.model->catalog(),
                       SetupDoorFor(server_, remote)});
    if (built.door == Door::ForeignHost) LogRefusalOnce(server_, remote, "foreign Host", view.host.value);
    if (built.door == Door::ForeignOrigin) LogRefusalOnce(server_, remote, "foreign Origin", view.origin.value);
    if (built.status == 403 && built.door == Door::Open) LogRefusalOnce(server_, remote, "set-up", view.target);
    if (built.accept && built.setup) {
        stream_.expires_never();
        StartSetupSession(server_, stream_.release_socket(), remote, std::move(request));
        return;
    }
    if (built.accept) {
        stream_.expires_never();
        std::make_shared<WsSession>(server_, stream_.release_socket(), remote)->Accept(std::move(request));
        return;
    }
    auto response = std::make_shared<http::response<http::string_body>>();
    response->version(request.version());
    response->keep_alive(request.keep_alive() && built.door == Door::Open);
    response->result(static_cast<unsigned>(built.status));
    for (const Header& h : built.headers) response->set(h.first, h.second);
    response->body() = std::move(built.body);
    response->prepare_payload();
    if (request.method() == http::verb::head) response->body().clear();
    http::async_write(stream_, *response, [self = shared_from_this(), response](error_code ec, std::size_t) {
        if (ec || !response->keep_alive()) {
            self->stream_.socket().shutdown(tcp::socket::shutdown_send, ec);
            return;
        }
        self->Read();
    });
}

void HttpSession::Drop() {
    error_code ec;
    stream_.socket().close(ec);
}

}  // namespace web::serving
