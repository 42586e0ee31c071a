#include "web/server.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <atomic>
#include <chrono>
#include <deque>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unordered_set>

#include "base/log.h"
#include "base/thread_owner.h"
#include "link/link_state.h"
#include "link/node_cadence.h"
#include "model/panel_model.h"
#include "model/setup_desk.h"
#include "platform/ipv4.h"
#include "platform/net.h"
#include "web/frames.h"
#include "web/response.h"
#include "web/send_queue.h"
#include "web/server_state.h"
#include "web/setup_frames.h"
#include "web/site.h"

namespace web {
namespace serving {

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
// A failed accept is tried again after this: most failures (out of
// descriptors, out of memory) last a while, and trying at once would spin.
constexpr auto kAcceptRetry = std::chrono::milliseconds(100);


std::uint32_t RemoteAddress(const tcp::socket& socket) {
    error_code ec;
    const tcp::endpoint remote = socket.remote_endpoint(ec);
    if (ec || !remote.address().is_v4()) return 0;
    return remote.address().to_v4().to_uint();
}

// Logs a refusal the first time it happens to a browser address. `what`
// may come from the browser: only printable ASCII, and not too much of it.
void LogRefusalOnce(ServerState& server, std::uint32_t remote, const std::string& why,
                    std::string_view what = {}) {
    if (!server.refusalsLogged.emplace(remote, why).second) return;
    std::string line = "Web " + std::string(what.empty() ? "commands" : "request") + " from " +
                       platform::FormatIpv4(remote) + " refused: " + why;
    if (!what.empty()) {
        line += " ";
        for (const char c : what.substr(0, 100)) line += c >= ' ' && c <= '~' ? c : '?';
    }
    line += "\n";
    WriteLog(line.c_str());
}

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

// Every panel of the model, open window or not; `cycle` gets the oldest
// cycle the panels were read at, so that no later batch is skipped.
Frame Snapshot(model::PanelModel& model, std::uint64_t* cycle) {
    std::vector<ShownValue> values;
    std::vector<platform::ControlState> shown;
    std::uint64_t oldest = UINT64_MAX;
    for (std::size_t panel = 0; panel < model.catalog().panelCount; ++panel) {
        oldest = std::min(oldest, model::PanelSnapshot(model, static_cast<int>(panel), &shown));
        for (const platform::ControlState& control : shown)
            values.push_back(ShownValue{control.id, control.text, control.checked});
    }
    *cycle = oldest == UINT64_MAX ? 0 : oldest;
    return std::make_shared<const std::string>(SnapshotFrame(values));
}

// The link line: the node, whether connected, the age of its last datagram
// and the silence that counts as stale.
Frame CurrentLinkFrame() {
    const std::uint32_t node = dbNodeIpv4.load(std::memory_order_relaxed);
    const std::int64_t last = lastDbDatagramMs.load(std::memory_order_relaxed);
    const std::int64_t ageTenths = last < 0 ? -1 : std::max<std::int64_t>(0, SteadyMs() - last) / 100;
    return std::make_shared<const std::string>(
        LinkFrame(node != 0 ? platform::FormatIpv4(node) : std::string(),
                  linkConnected.load(std::memory_order_acquire), ageTenths, StaleThresholdMs() / 100, SteadyMs()));
}

class WsSession : public std::enable_shared_from_this<WsSession> {
public:
    WsSession(ServerState& server, tcp::socket socket, std::uint32_t remote)
        : server_(server), ws_(std::move(socket)), remote_(remote), id_(server.nextSocketId++),
          queue_(kMaxViewerFrames, kMaxViewerBytes) {
        ++server_.sockets;
        error_code ignored;
        ws_.next_layer().socket().set_option(asio::socket_base::send_buffer_size(kViewerSendBuffer), ignored);
    }
    ~WsSession() { --server_.sockets; }

    void Accept(http::request<http::empty_body> request) {
        PrepareWebSocket(ws_, kMaxCommandFrame);
        ws_.async_accept(request, [self = shared_from_this()](error_code ec) { self->OnAccept(ec); });
    }

    void Send(Frame frame) {
        if (!open_) return;
        // Behind: the present in place of the past. The link line comes with
        // the snapshot, as on a new connection, so the page knows its age.
        if (!queue_.Push(std::move(frame)))
            queue_.Resync(Snapshot(*server_.config.panels.model, &cycle_), CurrentLinkFrame());
        Write();
    }

    // One cycle's batch, unless the snapshot this browser got holds it.
    void SendBatch(std::uint64_t cycle, const Frame& frame) {
        if (cycle <= cycle_) return;
        cycle_ = cycle;
        Send(frame);
    }

    void Close() {
        if (!open_) return;
        open_ = false;
        server_.viewers.erase(shared_from_this());
        server_.viewerCount.fetch_sub(1);
        // A tablet that asked and left no longer waits for an answer.
        if (server_.asks.Withdraw(id_)) SetupPagesChanged(server_);
    }

private:
    void OnAccept(error_code ec) {
        if (ec) return;
        open_ = true;
        allowed_ = Allowed(server_.controlNets, remote_);
        // Counted before the snapshot is read: a change noted after that
        // reading is then handed over and reaches this browser too.
        server_.viewerCount.fetch_add(1);
        server_.viewers.insert(shared_from_this());
        const int setup = server_.config.setup == nullptr ? -1 : SetupDoorFor(server_, remote_) == SetupDoor::Open;
        Send(std::make_shared<const std::string>(HelloFrame(allowed_, setup)));
        std::uint64_t cycle = 0;
        Frame snapshot = Snapshot(*server_.config.panels.model, &cycle);
        Send(std::move(snapshot));
        cycle_ = cycle;
        // At once, not at the next second's tick: until it comes, the page
        // knows no age and would call the data stale.
        Send(CurrentLinkFrame());
        Read();
    }

    void Read() {
        ws_.async_read(in_, [self = shared_from_this()](error_code ec, std::size_t) { self->OnRead(ec); });
    }

    void OnRead(error_code ec) {
        if (ec) {
            Close();  // includes a frame over the size limit
            return;
        }
        const std::string text = beast::buffers_to_string(in_.data());
        in_.consume(in_.size());
        if (ws_.got_text() && text.find("\"ask\"") != std::string::npos && IsAskFrame(text)) {
            Ask();
            Read();
            return;
        }
        const char* refusal = Handle(text);
        if (refusal != nullptr) {
            LogRefusalOnce(server_, remote_, std::string(refusal) + (allowed_ ? " command" : " browser"));
            Send(std::make_shared<const std::string>(RefusedFrame(refusal)));
        }
        Read();
    }

public:
    // The control list changed: commands are taken or refused from now on,
    // and the page is told when this changes it.
    void ControlNetsChanged() {
        const bool now = Allowed(server_.controlNets, remote_);
        if (!open_ || now == allowed_) return;
        allowed_ = now;
        Send(std::make_shared<const std::string>(ControlFrame(now)));
    }

private:
    void Ask() {
        if (server_.config.setup == nullptr) {
            Send(std::make_shared<const std::string>(RefusedFrame("no set-up")));
            return;
        }
        std::string code;
        const std::size_t before = server_.asks.Pending().size();
        const AskResult result = server_.asks.Ask(remote_, id_, allowed_, SteadyMs(), &code);
        if (result != AskResult::Asked) {
            Send(std::make_shared<const std::string>(RefusedFrame(AskRefusalText(result))));
            return;
        }
        Send(std::make_shared<const std::string>(AskedFrame(code)));
        if (server_.asks.Pending().size() == before) return;  // a repeat: same code, nothing new
        WriteLog(("Web control asked from " + platform::FormatIpv4(remote_) + ", code " + code + "\n").c_str());
        SetupPagesChanged(server_);
    }

    // nullptr when the command went to the GUI thread, else why not.
    const char* Handle(const std::string& text) {
        if (!allowed_) return "read-only";
        Command command{};
        if (!ws_.got_text() || !ParseCommand(text, &command)) return "malformed";
        model::PanelCommand posted;
        posted.panel = server_.config.panels.model->catalog().FindPanel(command.panel);
        posted.controlId = command.id;
        posted.kind =
            command.kind == CommandKind::Delta ? platform::DialogMsgKind::DeltaPos : platform::DialogMsgKind::Command;
        posted.delta = command.delta;
        posted.shift = command.shift;
        const model::Refusal refusal = model::PostPanelCommand(*server_.config.panels.model, posted);
        // A panel, control or message the model does not know: "unknown" to
        // the page, as for any command it cannot act on.
        if (refusal != model::Refusal::None && refusal != model::Refusal::NoHost) return "unknown";
        return model::RefusalText(refusal);
    }

    void Write() {
        const std::string* next = queue_.StartWrite();
        if (next == nullptr) return;
        ws_.text(true);
        ws_.async_write(asio::buffer(*next), [self = shared_from_this()](error_code ec, std::size_t) {
            self->queue_.FinishWrite();
            if (ec) {
                self->Close();
                return;
            }
            self->Write();
        });
    }

    ServerState& server_;
    websocket::stream<beast::tcp_stream> ws_;
    beast::flat_buffer in_;
    std::uint32_t remote_;
    std::uint64_t id_;  // the asks it made are held by this
    SendQueue queue_;
    bool open_ = false;
    bool allowed_ = false;
    std::uint64_t cycle_ = 0;  // the newest cycle this browser has been sent
};

std::vector<AllowedNet> ToAllowed(const std::vector<model::NetRange>& nets) {
    std::vector<AllowedNet> out;
    for (const model::NetRange& net : nets) out.push_back(AllowedNet{net.address, net.bits});
    return out;
}

// Server thread: the desk published. Its control and set-up lists take
// effect at once, on open sockets too.
void OnDeskChanged(ServerState& server) {
    server.deskPosted.store(false);
    const model::SetupSnapshot snapshot = server.config.setup->Snapshot();
    server.controlNets = ToAllowed(snapshot.control);
    server.setupNets = ToAllowed(snapshot.setup);
    const std::vector<std::shared_ptr<WsSession>> viewers(server.viewers.begin(), server.viewers.end());
    for (const std::shared_ptr<WsSession>& viewer : viewers) viewer->ControlNetsChanged();
    SetupDoorsChanged(server);
    SetupPagesChanged(server);
}

class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    HttpSession(ServerState& server, tcp::socket socket) : server_(server), stream_(std::move(socket)) {}
    void Read() {
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

private:
    void OnRead(error_code ec) {
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
                               header(http::field::host), header(http::field::origin),
                               websocket::is_upgrade(request)};
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

public:
    void Drop() {
        error_code ec;
        stream_.socket().close(ec);
    }
private:

    ServerState& server_;
    beast::tcp_stream stream_;
    beast::flat_buffer buffer_{kMaxHeaderBytes};
    std::optional<http::request_parser<http::empty_body>> parser_;
};

// Writes a line even with every descriptor taken: the reserve is let go
// for it and taken back at once.
void LogWithReserve(ServerState& server, const std::string& line) {
    error_code ec;
    server.reserve.close(ec);
    WriteLog(line.c_str());
    server.reserve.open(tcp::v4(), ec);
}

void Accept(ServerState& server);

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

// Sending may close a viewer, which leaves the set: walk a copy.
std::vector<std::shared_ptr<WsSession>> Viewers(const ServerState& server) {
    return std::vector<std::shared_ptr<WsSession>>(server.viewers.begin(), server.viewers.end());
}

void Broadcast(ServerState& server, const Frame& frame) {
    for (const std::shared_ptr<WsSession>& viewer : Viewers(server)) viewer->Send(frame);
}

void DrainInbox(ServerState& server) {
    std::vector<std::pair<std::uint64_t, Frame>> batches;
    {
        const std::lock_guard<std::mutex> lock(server.inboxMutex);
        batches.swap(server.inbox);
        server.drainPosted = false;
    }
    for (const auto& [cycle, frame] : batches)
        for (const std::shared_ptr<WsSession>& viewer : Viewers(server)) viewer->SendBatch(cycle, frame);
}

// Refresh thread: one frame for the cycle's changes, handed over; never
// touches a socket.
void OnBatch(void* context, std::uint64_t cycle, const model::ControlChange* changes, std::size_t count) {
    ServerState& server = *static_cast<ServerState*>(context);
    if (server.viewerCount.load() == 0 || count == 0) return;
    std::vector<ShownValue> values;
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(ShownValue{changes[i].state.id, changes[i].state.text, changes[i].state.checked});
    Frame frame = std::make_shared<const std::string>(BatchFrame(values));
    bool post = false;
    {
        const std::lock_guard<std::mutex> lock(server.inboxMutex);
        server.inbox.emplace_back(cycle, std::move(frame));
        post = !server.drainPosted;
        server.drainPosted = true;
    }
    if (post) asio::post(server.io, [&server] { DrainInbox(server); });
}

void SendLinkLine(ServerState& server) {
    Broadcast(server, CurrentLinkFrame());
    if (server.asks.Lapse(SteadyMs())) SetupPagesChanged(server);
    server.linkTimer.expires_after(std::chrono::seconds(1));
    server.linkTimer.async_wait([&server](error_code ec) {
        if (!ec) SendLinkLine(server);
    });
}

}  // namespace serving

using namespace serving;

bool StartWebServer(ThreadOwner& threads, const ServerConfig& config, std::string* error) {
    if (config.panels.model == nullptr) {
        *error = "no panel model";
        return false;
    }
    const auto server = std::make_shared<ServerState>(config);
    const tcp::endpoint where(asio::ip::address_v4(config.address), config.port);
    error_code ec;
    server->acceptor.open(where.protocol(), ec);
    if (!ec) server->acceptor.set_option(NativeOption(platform::ListenerPortOption()), ec);
    if (!ec) server->acceptor.bind(where, ec);
    if (!ec) server->acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (!ec) server->reserve.open(tcp::v4(), ec);
    if (ec) {
        *error = ec.message();
        return false;
    }
    server->templatesJson = TemplatesJson(server->config.panels);
    server->names = HostNames{config.address, config.port, config.names};
    int deskListener = 0;
    if (config.setup != nullptr) {
        server->namesFrame = NamesFrame(config.panels.model->catalog());
        if (config.setup->Version() > 0) OnDeskChanged(*server);
        // Any thread, never blocking it: the change is read on the server's.
        deskListener = config.setup->Listen([weak = std::weak_ptr<ServerState>(server)] {
            const std::shared_ptr<ServerState> state = weak.lock();
            if (state == nullptr || state->deskPosted.exchange(true)) return;
            asio::post(state->io, [raw = state.get()] { OnDeskChanged(*raw); });
        });
    }
    Accept(*server);
    SendLinkLine(*server);
    model::PanelModel& model = *config.panels.model;
    const int subscription = model::SubscribeBatches(model, OnBatch, server.get());
    // The thread keeps the state and destroys it as it ends: the batches no
    // longer come by then, and the connections close with the context.
    threads.Start(
        [server, subscription, &model, deskListener](platform::StopSignal&) {
            server->io.run();
            model::UnsubscribeBatches(model, subscription);
            if (deskListener != 0) server->config.setup->Unlisten(deskListener);
        },
        [server] { server->io.stop(); });
    return true;
}


}  // namespace web
