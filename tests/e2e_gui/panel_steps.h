// One user action on a real panel each, checked end to end: what the
// dialog shows at once, the set the simulator receives, the keyboard focus
// back on the hosting frame, and what the dialog shows once the simulator
// has answered. Every step returns false at its first failure.
#pragma once
#include "platform/dialog.h"
#include "platform/window.h"
#include "tests/e2e_gui/probe.h"

namespace e2egui {

struct Run {
    Checker& check;
    NodeLog& node;
};

// Where a panel lives: its dialog and the frame that hosts it (the combined
// window's for every panel in combined mode).
struct Host {
    platform::Dialog* dialog;
    platform::Frame* frame;
};

// The program is connected to the simulator and has refreshed the panels
// with what the simulator reports (not just the template's empty fields).
bool WaitForConnectionAndRefresh(Run& run, Host autopilot, Host navDisp, Host radios, Host status);

// Autopilot panel
bool HeadingArrowUp(Run& run, Host autopilot);
bool AltitudeArrowUp(Run& run, Host autopilot);
bool HeadingHoldBox(Run& run, Host autopilot);
bool AutopilotBox(Run& run, Host autopilot);
// Keys: G (gear, Status 2007), V (Captain range down, Nav Display 1069)
bool GearKey(Run& run, Host status);
bool CaptainRangeKey(Run& run, Host navDisp);
// Nav Display panel
bool CaptainModeButton(Run& run, Host navDisp);
bool CaptainCourseArrowUp(Run& run, Host navDisp);
// Radios panel
bool Com1FineUp(Run& run, Host radios);
bool Com1Transfer(Run& run, Host radios);
bool Adf1CoarseUp(Run& run, Host radios);
// A click on a Status field acts on nothing but gives the focus to the host.
bool StatusFieldClick(Run& run, Host status);

}  // namespace e2egui
