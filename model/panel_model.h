// The panel model: for each panel, what each of its controls shows. Windows,
// browsers and boards are views of it. The refresh is its writer, off the
// GUI thread; each cycle it diffs the model against the last one and
// publishes one batch of changes. Commands come back from every front-end
// the same way: (panel, control, message kind), posted toward the GUI thread
// and delivered to that panel's procedure, or refused with a reason.
// No toolkit type: every front-end and every windowing host can use it.
#pragma once
#include <cstddef>
#include <cstdint>
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

// Set once at start-up, before any front-end or the refresh starts; the
// catalog must live until the process ends. The model takes each panel's
// controls and first texts from its templates.
void SetPanelTable(const Catalog& catalog);
// Any thread: the catalog as set (empty before).
const Catalog& PanelCatalog();
std::size_t PanelCount();
const PanelInfo* PanelAt(int panel);  // nullptr when out of range
int FindPanel(std::string_view name);  // -1 when no panel has that name
int CombinedTemplateId();
// The stepper row of control `id` in panel `panel`, or nullptr: whether a
// control is a stepper is asked here, never by comparing ids.
const PanelStepper* FindStepper(int panel, int id);
// Whether panel `panel` has control `id` (id -1 never).
bool PanelHasControl(int panel, int id);

// Called on the refresh thread with each cycle's batch of changes (`cycle`
// counts published cycles from 1). It must not block: it copies what it
// needs and hands it off. Returns a subscription id (never 0).
using BatchListener = void (*)(void* context, std::uint64_t cycle, const ControlChange* changes,
                               std::size_t count);
int SubscribeBatches(BatchListener listener, void* context);
void UnsubscribeBatches(int subscription);

// Any thread: what panel `panel` shows now (the template's texts before the
// first cycle; `out` left empty for an unknown panel), as of the published
// cycle it returns (0: none yet). A batch whose cycle is not above it is
// already in the snapshot.
std::uint64_t PanelSnapshot(int panel, std::vector<ControlState>* out);

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
Refusal PostPanelCommand(const PanelCommand& command);

}  // namespace model
