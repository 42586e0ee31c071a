// The panel windows: the five frames with their dialogs, the frame and
// combined-dialog procedures, closing and focus rules.
#pragma once
#include "platform/gui.h"
#include "platform/window.h"
#include "resources/resource.h"

// The combined window's template; the panels' own are in the panel table.
constexpr int kBigWinTemplate = IDD_BIGWIN;

// Window handles: empty until created. A frame handle goes back to empty
// when its frame is closed; dialog handles are never cleared. In combined
// mode the four panel frames stay empty. GUI thread only, except that the
// refresh thread reads the dialog handles, which are set before it starts.
extern platform::Frame* statusFrame;
extern platform::Frame* autopilotFrame;
extern platform::Frame* navDispFrame;
extern platform::Frame* radiosFrame;
extern platform::Frame* bigWinFrame;
extern platform::Dialog* statusDialog;
extern platform::Dialog* autopilotDialog;
extern platform::Dialog* navDispDialog;
extern platform::Dialog* radiosDialog;
extern platform::Dialog* bigWinDialog;

namespace model {
struct Catalog;
class PanelModel;
}
// What a window is built from and shows: the catalog's templates, and the
// panels of `model` (nullptr: none, as in tests of the windows alone).
struct PanelWindowSource {
    const model::Catalog* catalog = nullptr;
    model::PanelModel* model = nullptr;
};
// Create operations: true on success, false at the first failing step.
bool CreateStatusWin(platform::AppInstance instance, bool show, const PanelWindowSource& source);
bool CreateAutopilotWin(platform::AppInstance instance, bool show, const PanelWindowSource& source);
bool CreateNavDispWin(platform::AppInstance instance, bool show, const PanelWindowSource& source);
bool CreateRadiosWin(platform::AppInstance instance, bool show, const PanelWindowSource& source);
bool CreateBigWin(platform::AppInstance instance, const PanelWindowSource& source);

// Frame procedures.
bool MsgStatus(platform::Frame* frame, const platform::FrameMsg& msg);
bool MsgAutopilot(platform::Frame* frame, const platform::FrameMsg& msg);
bool MsgNavDisp(platform::Frame* frame, const platform::FrameMsg& msg);
bool MsgRadios(platform::Frame* frame, const platform::FrameMsg& msg);
bool MsgBigWin(platform::Frame* frame, const platform::FrameMsg& msg);

// The combined dialog's procedure: offers each message to the four panels.
bool DlgProcBigWin(platform::Dialog* dialog, const platform::DialogMsg& msg);
