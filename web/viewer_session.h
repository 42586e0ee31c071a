// The panels page's socket: the hello, a snapshot of every panel, then each
// cycle's changes and the link line; commands from allowed browsers go to
// the GUI thread. Server thread only.
#pragma once
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <cstdint>
#include <memory>
#include <string>

#include "web/send_queue.h"
#include "web/server_state.h"

namespace model {
class PanelModel;
}

namespace web::serving {

// Every panel of the model, open window or not; `cycle` gets the oldest
// cycle the panels were read at, so that no later batch is skipped.
Frame Snapshot(model::PanelModel& model, std::uint64_t* cycle);
// The link line: the node, whether connected, the age of its last datagram
// and the silence that counts as stale.
Frame CurrentLinkFrame(const model::PanelModel& model);

class WsSession : public std::enable_shared_from_this<WsSession> {
public:
    WsSession(ServerState& server, tcp::socket socket, std::uint32_t remote);
    ~WsSession();

    void Accept(http::request<http::empty_body> request);
    void Send(Frame frame);
    // One cycle's batch, unless the snapshot this browser got holds it.
    void SendBatch(std::uint64_t cycle, const Frame& frame);
    void Close();
    // The control list changed: commands are taken or refused from now on,
    // and the page is told when this changes it.
    void ControlNetsChanged();

private:
    void OnAccept(boost::beast::error_code ec);
    void Read();
    void OnRead(boost::beast::error_code ec);
    void Ask();
    // nullptr when the command went to the GUI thread, else why not.
    const char* Handle(const std::string& text);
    void Write();

    ServerState& server_;
    boost::beast::websocket::stream<boost::beast::tcp_stream> ws_;
    boost::beast::flat_buffer in_;
    std::uint32_t remote_;
    std::uint64_t id_;  // the asks it made are held by this
    SendQueue queue_;
    bool open_ = false;
    bool allowed_ = false;
    std::uint64_t cycle_ = 0;  // the newest cycle this browser has been sent
};

}  // namespace web::serving
