#include "web/viewer_session.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/log.h"
#include "model/panel_model.h"
#include "platform/ipv4.h"
#include "platform/steady_clock.h"
#include "web/frames.h"
#include "web/setup_frames.h"

namespace web::serving {

namespace beast = boost::beast;
using error_code = beast::error_code;

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

Frame CurrentLinkFrame(const model::PanelModel& model) {
    const model::LinkView link = model.Link();
    const std::int64_t now = platform::SteadyMs();
    const std::int64_t ageTenths = link.lastDatagramMs < 0 ? -1 : std::max<std::int64_t>(0, now - link.lastDatagramMs) / 100;
    return std::make_shared<const std::string>(LinkFrame(link.node != 0 ? platform::FormatIpv4(link.node) : std::string(),
                                                         link.connected, ageTenths, link.staleMs / 100, now));
}

WsSession::WsSession(ServerState& server, tcp::socket socket, std::uint32_t remote)
    : server_(server), ws_(std::move(socket)), remote_(remote), id_(server.nextSocketId++),
      queue_(kMaxViewerFrames, kMaxViewerBytes) {
    ++server_.sockets;
    error_code ignored;
    ws_.next_layer().socket().set_option(asio::socket_base::send_buffer_size(kViewerSendBuffer), ignored);
}

WsSession::~WsSession() { --server_.sockets; }

void WsSession::Accept(http::request<http::empty_body> request) {
    PrepareWebSocket(ws_, kMaxCommandFrame);
    ws_.async_accept(request, [self = shared_from_this()](error_code ec) { self->OnAccept(ec); });
}

void WsSession::Send(Frame frame) {
    if (!open_) return;
    // Behind: the present in place of the past. The link line comes with
    // the snapshot, as on a new connection, so the page knows its age.
    if (!queue_.Push(std::move(frame)))
        queue_.Resync(Snapshot(*server_.config.panels.model, &cycle_), CurrentLinkFrame(*server_.config.panels.model));
    Write();
}

void WsSession::SendBatch(std::uint64_t cycle, const Frame& frame) {
    if (cycle <= cycle_) return;
    cycle_ = cycle;
    Send(frame);
}

void WsSession::Close() {
    if (!open_) return;
    open_ = false;
    server_.viewers.erase(shared_from_this());
    server_.viewerCount.fetch_sub(1);
    // A tablet that asked and left no longer waits for an answer.
    if (server_.asks.Withdraw(id_)) SetupPagesChanged(server_);
}

void WsSession::OnAccept(error_code ec) {
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
    Send(CurrentLinkFrame(*server_.config.panels.model));
    Read();
}

void WsSession::Read() {
    ws_.async_read(in_, [self = shared_from_this()](error_code ec, std::size_t) { self->OnRead(ec); });
}

void WsSession::OnRead(error_code ec) {
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

void WsSession::ControlNetsChanged() {
    const bool now = Allowed(server_.controlNets, remote_);
    if (!open_ || now == allowed_) return;
    allowed_ = now;
    Send(std::make_shared<const std::string>(ControlFrame(now)));
}

void WsSession::Ask() {
    if (server_.config.setup == nullptr) {
        Send(std::make_shared<const std::string>(RefusedFrame("no set-up")));
        return;
    }
    std::string code;
    const std::size_t before = server_.asks.Pending().size();
    const AskResult result = server_.asks.Ask(remote_, id_, allowed_, platform::SteadyMs(), &code);
    if (result != AskResult::Asked) {
        Send(std::make_shared<const std::string>(RefusedFrame(AskRefusalText(result))));
        return;
    }
    Send(std::make_shared<const std::string>(AskedFrame(code)));
    if (server_.asks.Pending().size() == before) return;  // a repeat: same code, nothing new
    WriteLog(("Web control asked from " + platform::FormatIpv4(remote_) + ", code " + code + "\n").c_str());
    SetupPagesChanged(server_);
}

const char* WsSession::Handle(const std::string& text) {
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

void WsSession::Write() {
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

}  // namespace web::serving
