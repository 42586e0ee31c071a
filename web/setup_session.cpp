#include <boost/asio/post.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <chrono>
#include <random>

#include "base/log.h"
#include "model/setup_desk.h"
#include "platform/ipv4.h"
#include "platform/steady_clock.h"
#include "web/frames.h"
#include "web/response.h"
#include "web/server_state.h"
#include "web/setup_frames.h"

namespace web::serving {
namespace {

namespace beast = boost::beast;
namespace websocket = beast::websocket;
using error_code = beast::error_code;

// The set-up page is sent the desk at most this often.
constexpr auto kSetupFramePause = std::chrono::milliseconds(50);

}  // namespace

// The set-up page's socket: the desk's snapshot as it changes, and the
// page's requests posted to the desk, each logged with its address.
class SetupSession : public std::enable_shared_from_this<SetupSession> {
public:
    SetupSession(ServerState& server, tcp::socket socket, std::uint32_t remote)
        : server_(server), ws_(std::move(socket)), remote_(remote), from_(platform::FormatIpv4(remote)),
          pause_(server.io), queue_(kMaxQueuedFrames) {
        ++server_.sockets;
    }
    ~SetupSession() { --server_.sockets; }

    void Accept(http::request<http::empty_body> request) {
        PrepareWebSocket(ws_, kMaxSetupFrame);
        ws_.async_accept(request, [self = shared_from_this()](error_code ec) { self->OnAccept(ec); });
    }

    // The desk or the asks changed: a fresh frame now, or once the pause
    // since the last one is over. An outcome of this page's own requests
    // goes at once, after the desk it left, and never waits for the pause.
    void Changed() {
        if (!open_) return;
        std::vector<model::OutcomeView> answered;
        for (auto it = awaiting_.begin(); it != awaiting_.end();) {
            model::OutcomeView o;
            if (!server_.config.setup->TakeOutcome(*it, &o)) {
                ++it;
                continue;
            }
            answered.push_back(std::move(o));
            it = awaiting_.erase(it);
        }
        if (!answered.empty()) {
            SendSetup();
            for (const model::OutcomeView& o : answered) Send(std::make_shared<const std::string>(OutcomeFrame(o)));
            return;
        }
        if (waiting_) return;
        const auto due = lastSent_ + kSetupFramePause;
        if (std::chrono::steady_clock::now() >= due) {
            SendSetup();
            return;
        }
        waiting_ = true;
        pause_.expires_at(due);
        pause_.async_wait([self = shared_from_this()](error_code ec) {
            self->waiting_ = false;
            if (!ec) self->SendSetup();
        });
    }

    // The set-up list changed: a page no longer let in is closed.
    void DoorChanged() {
        if (open_ && SetupDoorFor(server_, remote_) != SetupDoor::Open) {
            Close();
            error_code ec;
            beast::get_lowest_layer(ws_).socket().close(ec);
        }
    }

    void Close() {
        if (!open_) return;
        open_ = false;
        pause_.cancel();
        for (const std::uint64_t id : awaiting_) server_.config.setup->DropOutcome(id);
        awaiting_.clear();
        server_.setupPages.erase(shared_from_this());
    }

private:
    void OnAccept(error_code ec) {
        if (ec) return;
        open_ = true;
        server_.setupPages.insert(shared_from_this());
        SendSetup();
        Send(std::make_shared<const std::string>(server_.namesFrame));
        Read();
    }

    Frame SetupNow() {
        const std::int64_t now = platform::SteadyMs();
        server_.asks.Lapse(now);
        return std::make_shared<const std::string>(
            SetupFrame(server_.config.setup->Snapshot(), server_.asks.Pending(), now));
    }

    // Every set-up frame holds the whole desk: a fresh one takes the place
    // of one still waiting right behind, never of an answer before it.
    void SendSetup() {
        if (!open_) return;
        lastSent_ = std::chrono::steady_clock::now();
        Frame frame = SetupNow();
        if (lastIsSetup_ && queue_.ReplaceLast(frame)) return;
        Send(std::move(frame));
        lastIsSetup_ = true;
    }

    void Send(Frame frame) {
        if (!open_) return;
        lastIsSetup_ = false;
        if (!queue_.Push(std::move(frame))) {
            // Answers are never dropped: a page that reads none of them is
            // let go, and reconnects to a fresh desk.
            Close();
            error_code ec;
            beast::get_lowest_layer(ws_).socket().close(ec);
            return;
        }
        Write();
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
        if (!open_) return;
        PageRequest page;
        if (!ws_.got_text() || !ParsePageRequest(text, &page)) Refuse("malformed");
        else if (page.kind == PageRequest::Kind::Desk) PostRequest(std::move(page.request));
        else if (page.kind == PageRequest::Kind::Allow) AllowAsk(page.askId);
        else if (page.kind == PageRequest::Kind::DenyAll) DenyAllAsks();
        else DenyAsk(page.askId);
        Read();
    }

    void Refuse(const char* why) { Send(std::make_shared<const std::string>(RefusedFrame(why))); }

    void Log(const std::string& what) { WriteLog(Escaped("Set-up from " + from_ + ": " + what + "\n").c_str()); }

    // The request's id, or 0 (refused) when the desk's queue is full.
    std::uint64_t PostRequest(model::SetupRequest request) {
        request.from = from_;
        const std::string what = DescribeRequest(request);
        const std::uint64_t id = server_.config.setup->Post(std::move(request));
        if (id == 0) {
            Refuse("busy");
            return 0;
        }
        Log(what);
        awaiting_.push_back(id);
        Send(std::make_shared<const std::string>(PostedFrame(id)));
        return id;
    }

    const PendingAsk* FindAsk(std::uint64_t id) {
        server_.asks.Lapse(platform::SteadyMs());
        for (const PendingAsk& ask : server_.asks.Pending())
            if (ask.id == id) return &ask;
        return nullptr;
    }

    // Allowing is saving a grant for the asking address, against the file
    // the desk holds now; the ask is dropped once that save is queued, kept
    // while the desk is busy.
    void AllowAsk(std::uint64_t id) {
        const PendingAsk* ask = FindAsk(id);
        if (ask == nullptr) {
            Refuse("no such ask");
            return;
        }
        const std::string address = platform::FormatIpv4(ask->address);
        const std::string code = ask->code;
        model::SetupRequest save;
        save.kind = model::SetupRequest::Kind::SaveChanges;
        save.revision = server_.config.setup->Snapshot().file.revision;
        model::FileChange allow;
        allow.kind = model::FileChange::Kind::AllowDevice;
        allow.net = model::NetRange{ask->address, 32};
        save.changes.push_back(allow);
        if (PostRequest(std::move(save)) == 0) return;
        Log("allow " + address + " (code " + code + ")");
        PendingAsk dropped;
        server_.asks.Take(id, platform::SteadyMs(), &dropped);
        SetupPagesChanged(server_);
    }

    void DenyAsk(std::uint64_t id) {
        PendingAsk ask;
        if (!server_.asks.Take(id, platform::SteadyMs(), &ask)) {
            Refuse("no such ask");
            return;
        }
        Log("deny " + platform::FormatIpv4(ask.address) + " (code " + ask.code + ")");
        Send(std::make_shared<const std::string>(PostedFrame(0)));  // nothing for the desk: done at once
        SetupPagesChanged(server_);
    }

    // Every waiting ask goes at once: asks from addresses the builder does
    // not know crowd out the tablet in hand.
    void DenyAllAsks() {
        server_.asks.Lapse(platform::SteadyMs());
        const std::size_t n = server_.asks.Clear();
        Log("deny all asks (" + std::to_string(n) + ")");
        Send(std::make_shared<const std::string>(PostedFrame(0)));
        SetupPagesChanged(server_);
    }

    ServerState& server_;
    websocket::stream<beast::tcp_stream> ws_;
    beast::flat_buffer in_;
    std::uint32_t remote_;
    std::string from_;
    asio::steady_timer pause_;
    SendQueue queue_;
    bool open_ = false;
    bool waiting_ = false;  // a frame is due once the pause is over
    bool lastIsSetup_ = false;  // the last frame queued is a set-up frame
    std::vector<std::uint64_t> awaiting_;  // posted requests whose outcome has not come
    std::chrono::steady_clock::time_point lastSent_{};
};

std::uint32_t RandomCodeSource() {
    static std::mt19937 generator{std::random_device{}()};
    return static_cast<std::uint32_t>(generator());
}

SetupDoor SetupDoorFor(const ServerState& server, std::uint32_t remote) {
    return CheckSetupDoor(server.config.setup != nullptr, server.config.address, server.setupNets, remote);
}

void StartSetupSession(ServerState& server, tcp::socket socket, std::uint32_t remote,
                       http::request<http::empty_body> request) {
    std::make_shared<SetupSession>(server, std::move(socket), remote)->Accept(std::move(request));
}

void SetupPagesChanged(ServerState& server) {
    const std::vector<std::shared_ptr<SetupSession>> pages(server.setupPages.begin(), server.setupPages.end());
    for (const std::shared_ptr<SetupSession>& page : pages) page->Changed();
}

void SetupDoorsChanged(ServerState& server) {
    const std::vector<std::shared_ptr<SetupSession>> pages(server.setupPages.begin(), server.setupPages.end());
    for (const std::shared_ptr<SetupSession>& page : pages) page->DoorChanged();
}

}  // namespace web::serving
