#include "tests/e2e_gui/cases.h"

#include "panels/windows.h"

namespace e2egui {

void CombinedWindowCase(Run& run) {
    const Host big{bigWinDialog, bigWinFrame};
    if (!run.check.Check(big.dialog != nullptr && big.frame != nullptr, "the combined window exists"))
        return;
    // Steps of one panel build on each other; any failure ends the case.
    (void)(WaitForConnectionAndRefresh(run, big, big, big, big) &&
           HeadingArrowUp(run, big) && AltitudeArrowUp(run, big) && HeadingHoldBox(run, big) &&
           AutopilotBox(run, big) &&
           GearKey(run, big) && CaptainRangeKey(run, big) &&
           CaptainModeButton(run, big) && CaptainCourseArrowUp(run, big) &&
           Com1FineUp(run, big) && Com1Transfer(run, big) && Adf1CoarseUp(run, big));
}

void FourWindowCase(Run& run) {
    const Host autopilot{autopilotDialog, autopilotFrame};
    const Host navDisp{navDispDialog, navDispFrame};
    const Host radios{radiosDialog, radiosFrame};
    const Host status{statusDialog, statusFrame};
    bool all = true;
    for (const Host& h : {autopilot, navDisp, radios, status})
        all = all && h.dialog != nullptr && h.frame != nullptr;
    if (!run.check.Check(all, "all four panel windows exist")) return;
    if (!run.check.Check(bigWinFrame == nullptr, "no combined window")) return;
    if (!WaitForConnectionAndRefresh(run, autopilot, navDisp, radios, status)) return;
    // The Radios template has no ADF rows: nothing to click, and the
    // refresh's writes to those fields go nowhere.
    for (int id : {1071, 1057, 1075, 1074, 1053, 1054, 1061, 1062})
        if (!run.check.Check(!HasControl(radios.dialog, id) && Text(radios.dialog, id).empty(),
                             "the Radios window has no ADF control " + std::to_string(id)))
            return;
    // Each step moves the focus to another frame first.
    (void)(AltitudeArrowUp(run, autopilot) && CaptainModeButton(run, navDisp) &&
           Com1FineUp(run, radios) && StatusFieldClick(run, status) && GearKey(run, status) &&
           CaptainCourseArrowUp(run, navDisp) && Com1Transfer(run, radios));
}

}  // namespace e2egui
