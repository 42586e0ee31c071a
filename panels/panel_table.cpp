#include "panels/panel_table.h"

#include <string>
#include <vector>

#include "panels/autopilot.h"
#include "panels/navdisp.h"
#include "panels/radios.h"
#include "panels/status.h"
#include "model/catalog.h"
#include "resources/dialog_script.h"
#include "resources/resource.h"

namespace panels {
namespace {

// One step's amount, and with Shift held. The ADF steppers carry their
// amount to the node and multiply it by ten with Shift; COM and NAV steps
// carry none (0); the rest step what the field shows.
constexpr model::PanelStepper kAutopilotSteppers[] = {
    {IDC_HEADING_COARSE, 10, 10},     {IDC_HEADING_FINE, 1, 1},   {IDC_ALTITUDE_COARSE, 1000, 1000},
    {IDC_ALTITUDE_FINE, 100, 100},    {IDC_SPEED_COARSE, 10, 10}, {IDC_SPEED_FINE, 1, 1},
};
constexpr model::PanelStepper kNavDispSteppers[] = {
    {IDC_CAPT_RANGE_SPIN, 1, 1},      {IDC_FO_RANGE_SPIN, 1, 1},      {IDC_CAPT_COURSE_COARSE, 10, 10},
    {IDC_CAPT_COURSE_FINE, 1, 1},     {IDC_FO_COURSE_COARSE, 10, 10}, {IDC_FO_COURSE_FINE, 1, 1},
};
constexpr model::PanelStepper kRadiosSteppers[] = {
    {IDC_COM1_COARSE, 0, 0},          {IDC_COM1_FINE, 0, 0},     {IDC_COM2_COARSE, 0, 0},
    {IDC_COM2_FINE, 0, 0},            {IDC_NAV1_COARSE, 0, 0},   {IDC_NAV1_FINE, 0, 0},
    {IDC_NAV2_COARSE, 0, 0},          {IDC_NAV2_FINE, 0, 0},     {IDC_ADF1_COARSE, 100, 1000},
    {IDC_ADF1_FINE, 1, 10},           {IDC_ADF2_COARSE, 100, 1000}, {IDC_ADF2_FINE, 1, 10},
};

template <std::size_t N>
constexpr std::size_t CountOf(const model::PanelStepper (&)[N]) {
    return N;
}

const model::PanelInfo kPanels[kPanelCount] = {
    {"autopilot", "Autopilot", IDD_AUTOPILOT, DlgProcAutopilot, UpdateAutopilot, kAutopilotSteppers,
     CountOf(kAutopilotSteppers), false},
    {"navdisp", "Nav Display", IDD_NAVDISP, DlgProcNavDisp, UpdateNavDisp, kNavDispSteppers,
     CountOf(kNavDispSteppers), false},
    {"radios", "Radios", IDD_RADIOS, DlgProcRadios, UpdateRadios, kRadiosSteppers, CountOf(kRadiosSteppers),
     true},
    {"status", "Status", IDD_STATUS, DlgProcStatus, UpdateStatus, nullptr, 0, false},
};

}  // namespace

const model::PanelInfo& PanelRow(PanelIndex panel) { return kPanels[panel]; }

const model::PanelStepper* StepperOf(PanelIndex panel, int id) {
    const model::PanelInfo& row = kPanels[panel];
    for (std::size_t i = 0; i < row.stepperCount; ++i)
        if (row.steppers[i].id == id) return &row.steppers[i];
    return nullptr;
}

bool LoadPanelCatalog(model::Catalog* out, std::string* error) {
    std::string why;
    if (!model::BuildCatalog(PanelDialogScript(), kPanels, kPanelCount, IDD_BIGWIN, out, &why)) {
        if (error != nullptr) *error = why;
        return false;
    }
    return true;
}

}  // namespace panels
