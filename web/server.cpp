#include "web/server.h"

#include <boost/asio/post.hpp>

#include <chrono>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "base/thread_owner.h"
#include "model/panel_model.h"
#include "model/setup_desk.h"
#include "platform/steady_clock.h"
#include "web/frames.h"
#include "web/listener.h"
#include "web/server_state.h"
#include "web/setup_frames.h"
#include "web/viewer_session.h"

namespace web {
namespace serving {
namespace {

using error_code = boost::beast::error_code;

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
    for (const std::shared_ptr<WsSession>& viewer : Viewers(server)) viewer->ControlNetsChanged();
    SetupDoorsChanged(server);
    SetupPagesChanged(server);
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
    Broadcast(server, CurrentLinkFrame(*server.config.panels.model));
    if (server.asks.Lapse(platform::SteadyMs())) SetupPagesChanged(server);
    server.linkTimer.expires_after(std::chrono::seconds(1));
    server.linkTimer.async_wait([&server](error_code ec) {
        if (!ec) SendLinkLine(server);
    });
}

}  // namespace
}  // namespace serving

using namespace serving;

bool StartWebServer(ThreadOwner& threads, const ServerConfig& config, std::string* error) {
    if (config.panels.model == nullptr) {
        *error = "no panel model";
        return false;
    }
    const auto server = std::make_shared<ServerState>(config);
    if (!Listen(*server, error)) return false;
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
