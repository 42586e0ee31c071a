// The panel model: for each panel, what each of its controls shows. Windows,
// browsers and boards are views of it. The refresh is its writer, off the
// GUI thread; each cycle it diffs the model against the last one and
// publishes one batch of changes. Commands come back from every front-end
// the same way: (panel, control, message kind), posted toward the GUI thread
// and delivered to that panel's procedure, or refused with a reason.
// No toolkit type: every front-end and every windowing host can use it.
#pragma once
#include "platform/gui_post.h"
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/catalog.h"
#include "platform/dialog.h"

namespace model {

using platform::ControlState;

// One changed control of one panel (`panel` indexes the panel table).
struct ControlChange {
    int panel = -1;
    ControlState state;
};

// The panel model of one panel table. app/ builds one from the catalog
// before any window and hands it to the windows, the refresh, the web server
// and the boards; a test builds as many as it likes. It takes each panel's
// controls and first texts from the catalog's templates; the catalog must
// outlive it, and it must outlive every thread and posted command that uses
// it.
// The link as every front-end shows it: the DB node (0: none known),
// whether it is connected, when its last datagram came (steady clock, ms;
// < 0: never) and the silence that counts as stale.
struct LinkView {
    std::uint32_t node = 0;
    bool connected = false;
    std::int64_t lastDatagramMs = -1;
    std::int64_t staleMs = 0;
};
using LinkSource = LinkView (*)();

struct PanelModelState;
class PanelModel {
public:
    // `gui` takes the commands to the GUI thread; without one (a test, a
    // program with no windowing host) every command is refused as NoHost.
    // `link` reads the link's state now (nullptr: no link).
    explicit PanelModel(const Catalog& catalog, platform::GuiPoster gui = {}, LinkSource link = nullptr);
    ~PanelModel();
    PanelModel(const PanelModel&) = delete;
    PanelModel& operator=(const PanelModel&) = delete;

    const Catalog& catalog() const { return *catalog_; }
    PanelModelState& state() { return *state_; }  // model/'s own
    // Any thread: the link now, as the pages show it.
    LinkView Link() const { return link_ != nullptr ? link_() : LinkView{}; }

private:
    const Catalog* catalog_;
    LinkSource link_;
    std::unique_ptr<PanelModelState> state_;
};

// Whether panel `panel` has control `id` (id -1 never).
bool PanelHasControl(PanelModel& model, int panel, int id);

// Called on the refresh thread with each cycle's batch of changes (`cycle`
// counts published cycles from 1). It must not block: it copies what it
// needs and hands it off. Returns a subscription id (never 0).
using BatchListener = void (*)(void* context, std::uint64_t cycle, const ControlChange* changes,
                               std::size_t count);
int SubscribeBatches(PanelModel& model, BatchListener listener, void* context);
void UnsubscribeBatches(PanelModel& model, int subscription);

// Any thread: what panel `panel` shows now (the template's texts before the
// first cycle; `out` left empty for an unknown panel), as of the published
// cycle it returns (0: none yet). A batch whose cycle is not above it is
// already in the snapshot.
std::uint64_t PanelSnapshot(PanelModel& model, int panel, std::vector<ControlState>* out);

// A command from any front-end. With kind Command on a check box, the box
// is first toggled as a click toggles it, or, with setCheck 0 or 1, set
// (a switch): a box already so is left alone and nothing is delivered.
struct PanelCommand {
    int panel = -1;
    int controlId = -1;
    platform::DialogMsgKind kind = platform::DialogMsgKind::Command;  // Command or DeltaPos
    int delta = 0;       // DeltaPos: steps in the platform's sign (up is negative)
    bool shift = false;  // delivered with Shift seen as held
    int setCheck = -1;   // -1: toggle; 0 or 1: set
};

// Why PostPanelCommand refused a command (None: it did not).
enum class Refusal { None, UnknownPanel, UnknownControl, WrongKind, NoHost };
// The words for it that front-ends show and log (nullptr for None).
const char* RefusalText(Refusal refusal);

// Any thread, never waits: None when the command is on its way to the GUI
// thread, where it reaches that panel's procedure whether or not the panel's
// window is open; otherwise why it cannot be delivered.
Refusal PostPanelCommand(PanelModel& model, const PanelCommand& command);

// A key going down or up, as the keyboard gives it (platform/virtual_keys.h
// codes), for the key handler on the GUI thread. Set once at start-up,
// before any front-end starts; without one, keys are refused (NoHost).
using KeyHandler = void (*)(void* context, int keyCode, bool down);
void SetKeyHandler(PanelModel& model, KeyHandler handler, void* context);
// Any thread, never waits: None when the key is on its way to the handler.
Refusal PostPanelKey(PanelModel& model, int keyCode, bool down);

}  // namespace model
