// The frame procedures and the combined dialog's procedure: closing, focus
// and key routing.
#include "base/log.h"
#include "panels/autopilot.h"
#include "panels/keymap.h"
#include "panels/navdisp.h"
#include "panels/radios.h"
#include "panels/status.h"
#include "panels/windows.h"

namespace {

// Where the focus goes when a panel frame closes: the first frame of the
// list that is still open. Hidden frames count as open.
struct FocusOrder {
    platform::Frame** candidates[3];
};

bool ClosePanel(platform::Frame* frame, platform::Frame** handle, const FocusOrder& order) {
    platform::DestroyFrame(frame);
    *handle = nullptr;
    for (platform::Frame** next : order.candidates) {
        if (*next != nullptr) {
            platform::FocusFrame(*next);
            return true;
        }
    }
    platform::PostQuit(0);  // that was the last one
    return true;
}

// Key messages carry the key code in their low 16 bits.
int KeyOf(const platform::FrameMsg& msg) { return msg.keyCode & 0xFFFF; }

// Shared by the four panel frames; closing is handled, everything else also
// gets the default processing.
bool PanelFrameMsg(platform::Frame* frame, const platform::FrameMsg& msg,
                   platform::Frame** handle, const FocusOrder& order) {
    switch (msg.kind) {
    case platform::FrameMsgKind::Close: return ClosePanel(frame, handle, order);
    case platform::FrameMsgKind::LeftButtonDown: platform::FocusFrame(frame); break;
    case platform::FrameMsgKind::KeyDown: KeyDown(frame, KeyOf(msg)); break;
    case platform::FrameMsgKind::KeyUp: KeyUp(frame, KeyOf(msg)); break;
    }
    return false;
}

}  // namespace

bool MsgStatus(platform::Frame* frame, const platform::FrameMsg& msg) {
    return PanelFrameMsg(frame, msg, &statusFrame,
                         {{&radiosFrame, &autopilotFrame, &navDispFrame}});
}

bool MsgAutopilot(platform::Frame* frame, const platform::FrameMsg& msg) {
    return PanelFrameMsg(frame, msg, &autopilotFrame,
                         {{&statusFrame, &radiosFrame, &navDispFrame}});
}

bool MsgNavDisp(platform::Frame* frame, const platform::FrameMsg& msg) {
    if (msg.kind == platform::FrameMsgKind::KeyDown) WriteLog("MsgNavDisp KeyDown\n");
    if (msg.kind == platform::FrameMsgKind::KeyUp) WriteLog("MsgNavDisp KeyUp\n");
    return PanelFrameMsg(frame, msg, &navDispFrame,
                         {{&statusFrame, &autopilotFrame, &radiosFrame}});
}

bool MsgRadios(platform::Frame* frame, const platform::FrameMsg& msg) {
    return PanelFrameMsg(frame, msg, &radiosFrame,
                         {{&statusFrame, &autopilotFrame, &navDispFrame}});
}

bool MsgBigWin(platform::Frame* frame, const platform::FrameMsg& msg) {
    switch (msg.kind) {
    case platform::FrameMsgKind::Close:
        platform::DestroyFrame(frame);
        bigWinFrame = nullptr;
        platform::PostQuit(0);
        return true;
    case platform::FrameMsgKind::LeftButtonDown: platform::FocusFrame(frame); break;
    case platform::FrameMsgKind::KeyDown: KeyDown(frame, KeyOf(msg)); break;
    case platform::FrameMsgKind::KeyUp: KeyUp(frame, KeyOf(msg)); break;
    }
    return false;
}

bool DlgProcBigWin(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    // The panels' control ids are disjoint: exactly one of them acts on a
    // control message, so their answers don't matter.
    DlgProcAutopilot(dialog, msg);
    DlgProcRadios(dialog, msg);
    DlgProcNavDisp(dialog, msg);
    DlgProcStatus(dialog, msg);
    return false;
}
