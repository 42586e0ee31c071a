// The window handles and the create operations.
#include "panels/windows.h"

#include "base/settings.h"
#include "panels/autopilot.h"
#include "panels/navdisp.h"
#include "panels/panel_table.h"
#include "panels/radios.h"
#include "panels/status.h"
#include "platform/dialog.h"
#include "model/catalog.h"
#include "model/panel_model_writer.h"

platform::Frame* statusFrame = nullptr;
platform::Frame* autopilotFrame = nullptr;
platform::Frame* navDispFrame = nullptr;
platform::Frame* radiosFrame = nullptr;
platform::Frame* bigWinFrame = nullptr;
platform::Dialog* statusDialog = nullptr;
platform::Dialog* autopilotDialog = nullptr;
platform::Dialog* navDispDialog = nullptr;
platform::Dialog* radiosDialog = nullptr;
platform::Dialog* bigWinDialog = nullptr;

namespace {

// The frame starts at this size and is then fitted to its dialog.
constexpr int kInitialWidth = 600;
constexpr int kInitialHeight = 440;
constexpr int kBigWinX = 100;
constexpr int kBigWinY = 100;

struct PanelWindow {
    const char* className;
    const char* title;
    int templateId;
    platform::FrameProc frameProc;
    platform::DialogProc dialogProc;
    platform::Frame** frame;
    platform::Dialog** dialog;
};

// A panel's window: named, titled and built as its row of the panel table
// says; it shows that panel of the model.
PanelWindow WindowOf(panels::PanelIndex panel, platform::FrameProc frameProc, platform::Frame** frame,
                     platform::Dialog** dialog) {
    const model::PanelInfo& row = panels::PanelRow(panel);
    return PanelWindow{row.name, row.title, row.templateId, frameProc, row.proc, frame, dialog};
}

bool CreatePanelWindow(const PanelWindowSource& source, const PanelWindow& p, int x, int y, bool show) {
    if (!platform::RegisterFrameClass(p.className, p.frameProc)) return false;
    *p.frame = platform::CreateFrame(p.className, p.title, x, y, kInitialWidth, kInitialHeight);
    if (*p.frame == nullptr) return false;
    platform::ShowFrame(*p.frame, show);
    const platform::DialogTemplate* record = source.catalog != nullptr ? source.catalog->Template(p.templateId) : nullptr;
    *p.dialog = platform::CreateDialogFromTemplate(*p.frame, record, p.dialogProc);
    if (*p.dialog == nullptr) return false;
    platform::FitFrameToDialog(*p.frame, *p.dialog);
    platform::ShowDialog(*p.dialog, show);
    return true;
}

bool CreateShowingWindow(const PanelWindowSource& source, panels::PanelIndex panel, platform::FrameProc frameProc,
                         platform::Frame** frame, platform::Dialog** dialog, int x, int y, bool show) {
    if (!CreatePanelWindow(source, WindowOf(panel, frameProc, frame, dialog), x, y, show)) return false;
    if (source.model != nullptr) model::AttachPanelWindow(*source.model, *dialog, panel);
    return true;
}

}  // namespace

bool CreateStatusWin(platform::AppInstance /*instance*/, bool show, const PanelWindowSource& source) {
    return CreateShowingWindow(source, panels::kStatusPanel, MsgStatus, &statusFrame, &statusDialog, Settings.statusX,
                               Settings.statusY, show);
}

bool CreateAutopilotWin(platform::AppInstance /*instance*/, bool show, const PanelWindowSource& source) {
    return CreateShowingWindow(source, panels::kAutopilotPanel, MsgAutopilot, &autopilotFrame, &autopilotDialog,
                               Settings.autoX, Settings.autoY, show);
}

bool CreateNavDispWin(platform::AppInstance /*instance*/, bool show, const PanelWindowSource& source) {
    return CreateShowingWindow(source, panels::kNavDispPanel, MsgNavDisp, &navDispFrame, &navDispDialog, Settings.navX,
                               Settings.navY, show);
}

bool CreateRadiosWin(platform::AppInstance /*instance*/, bool show, const PanelWindowSource& source) {
    return CreateShowingWindow(source, panels::kRadiosPanel, MsgRadios, &radiosFrame, &radiosDialog, Settings.radiosX,
                               Settings.radiosY, show);
}

bool CreateBigWin(platform::AppInstance /*instance*/, const PanelWindowSource& source) {
    if (!CreatePanelWindow(source, {"bigwin", "OrvSim Control", kBigWinTemplate, MsgBigWin, DlgProcBigWin, &bigWinFrame,
                            &bigWinDialog},
                           kBigWinX, kBigWinY, true))
        return false;
    // The combined window shows all four panels.
    if (source.model != nullptr)
        for (int panel = 0; panel < panels::kPanelCount; ++panel)
            model::AttachPanelWindow(*source.model, bigWinDialog, panel);
    return true;
}
