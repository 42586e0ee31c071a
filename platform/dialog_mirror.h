// A toolkit-free registry of the live dialogs, for a host that shows them
// somewhere else (the browser host): what each dialog is built from, what
// its controls show, a listener told of every change the GUI thread notes,
// and a way to hand a dialog message to the GUI thread from another thread.
#pragma once
#include "platform/control_record.h"
#include "platform/dialog.h"

#include <vector>

namespace platform {

// How a windowing host delivers a message to one of its dialogs (GUI thread).
using DialogDeliver = void (*)(Dialog* dialog, const DialogMsg& msg);
// How a windowing host runs `work(context)` later on its GUI thread; callable
// from any thread, never waits.
using GuiPoster = void (*)(void (*work)(void*), void* context);

// GUI thread, as each dialog is built (after its controls are recorded).
void MirrorDialog(Dialog* dialog, int templateId, ControlRecord* record, DialogDeliver deliver);
// The host's GUI-thread post, set once when the host starts.
void SetGuiPoster(GuiPoster poster);

struct MirroredDialog {
    int templateId;
    ControlRecord* record;  // lives until the process ends
};
// Every dialog mirrored so far (any thread; closed ones included).
std::vector<MirroredDialog> MirroredDialogs();

// Told, on the GUI thread, of each control whose record has just changed.
// Must not block: it only hands the change on.
using ControlChangeListener = void (*)(int id, const char* text, bool checked);
void SetControlChangeListener(ControlChangeListener listener);
// control_record.cpp: a record entry changed (GUI thread, no lock held).
void NoteMirrorChange(const ControlRecord* record, int id);

// Any thread: delivers `msg` on the GUI thread to the first live dialog that
// has a control `msg.controlId`, as a click on it would: with `toggleCheck`
// (a check box) the box is toggled first. With `shiftHeld`, ShiftKeyDown
// answers true during that delivery. false when no host poster is set.
bool PostDialogMsg(const DialogMsg& msg, bool shiftHeld, bool toggleCheck);

// Any thread: runs `work(context)` later on the GUI thread. false when no
// host poster is set (then `work` never runs).
bool PostToGui(void (*work)(void*), void* context);

// GUI thread: true while a posted message that asked for Shift is delivered.
bool ShiftHeldForDelivery();

}  // namespace platform
