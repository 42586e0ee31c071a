// The set-up socket's frames: what the set-up page is sent, and what it and
// a read-only panels page may ask. Pure, so the format is tested without
// sockets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/catalog.h"
#include "model/setup_desk.h"
#include "web/control_asks.h"

namespace web {

// Longest frame the set-up page may send: a save carries its changes.
constexpr std::size_t kMaxSetupFrame = 64 * 1024;
// Most changes one save may carry.
constexpr std::size_t kMaxSetupChanges = 512;

// The words the page shows for the desk's states.
std::string BoardStateText(const model::BoardView& board);
const char* FoundStateText(model::FoundState state);
const char* OfferText(model::PinOffer offer);
std::string LearnStatusText(const model::LearnView& learn);

// The desk's snapshot and the pending asks (their age in whole seconds).
std::string SetupFrame(const model::SetupSnapshot& snapshot, const std::vector<PendingAsk>& asks,
                       std::int64_t nowMs);
// Every named control of the panels with the kind a board line may drive.
std::string NamesFrame(const model::Catalog& catalog);
// What became of one request, for the page that posted it alone.
std::string OutcomeFrame(const model::OutcomeView& outcome);
std::string PostedFrame(std::uint64_t id);
std::string AskedFrame(std::string_view code);
std::string ControlFrame(bool on);
// "A.B.C.D/BITS"
std::string NetText(const model::NetRange& net);

// A page frame read: a request for the desk, or an answer to an ask.
struct PageRequest {
    enum class Kind { Desk, Allow, Deny, DenyAll };
    Kind kind = Kind::Desk;
    model::SetupRequest request;  // Desk; `from` left for the caller
    std::uint64_t askId = 0;      // Allow, Deny
};

// false when the frame is not one of the page's requests, well formed.
bool ParsePageRequest(std::string_view frame, PageRequest* out);
// What a request is, for the log line ("save (2 edits)"); only printable
// ASCII of what the page sent.
std::string DescribeRequest(const model::SetupRequest& request);
// Whether a panels page's frame is {"t":"ask"}.
bool IsAskFrame(std::string_view frame);

}  // namespace web
