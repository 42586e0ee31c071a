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

#include "platform/dialog.h"

namespace platform {

// What one control shows.
struct ControlState {
    int id = -1;
    std::string text;
    bool checked = false;
    bool enabled = true;
};

// One changed control of one panel (`panel` indexes the panel table).
struct ControlChange {
    int panel = -1;
    ControlState state;
};

// An up-down whose steps a held Shift (or a page's ×10 toggle) multiplies.
struct PanelStepper {
    int id;
    std::int32_t amount;       // carried by one step
    std::int32_t shiftAmount;  // carried by one step with Shift held
};

// One row of the panel table: the one place a panel is named.
struct PanelInfo {
    const char* name;   // "status", "autopilot", "navdisp", "radios"
    const char* title;  // its window's title
    int templateId;     // the dialog template its window is built from
    DialogProc proc;    // its dialog procedure (GUI thread)
    void (*refresh)(Dialog* dialog);  // its refresh (refresh thread)
    const PanelStepper* steppers;  // the ×10 steppers, or nullptr
    std::size_t stepperCount;
    // The combined window's controls that no panel's own template has (the
    // ADF rows) belong to this panel.
    bool ownsCombinedExtras;
};

// Set once at start-up, before any front-end or the refresh starts; the
// table must live until the process ends. The model takes each panel's
// controls and first texts from `templates` (the parsed dialog script).
struct DialogTemplate;
void SetPanelTable(const PanelInfo* panels, std::size_t count, int combinedTemplateId,
                   const std::vector<DialogTemplate>& templates);
// Any thread: the table as set (count 0 before).
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
    DialogMsgKind kind = DialogMsgKind::Command;  // Command or DeltaPos
    int delta = 0;       // DeltaPos: steps in the platform's sign (up is negative)
    bool shift = false;  // delivered with Shift seen as held
    int setCheck = -1;   // -1: toggle; 0 or 1: set
};

// Refusal reasons PostPanelCommand answers.
inline constexpr const char* kRefusedUnknownPanel = "unknown panel";
inline constexpr const char* kRefusedUnknownControl = "unknown control";
inline constexpr const char* kRefusedWrongKind = "not a command for that control";
inline constexpr const char* kRefusedNoHost = "no panels running";

// Any thread, never waits: nullptr when the command is on its way to the GUI
// thread, where it reaches that panel's procedure whether or not the panel's
// window is open; otherwise why it cannot be delivered.
const char* PostPanelCommand(const PanelCommand& command);

}  // namespace platform
