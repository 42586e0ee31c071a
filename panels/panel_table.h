// The one panel table: each panel's name, title, template, procedure,
// refresh and steppers, written once. The windows, the refresh, the model
// and through it every front-end read it.
#pragma once
#include <cstddef>

#include "platform/panel_model.h"

namespace panels {

// Rows of the table, in the order the refresh runs them.
enum PanelIndex : int { kAutopilotPanel, kNavDispPanel, kRadiosPanel, kStatusPanel, kPanelCount };

const platform::PanelInfo& PanelRow(PanelIndex panel);

// The stepper row of up-down `id` of `panel`, or nullptr when it is not one
// of that panel's steppers.
const platform::PanelStepper* StepperOf(PanelIndex panel, int id);

// Start-up, before any window: hands the table and the parsed templates to
// the panel model. false (with nothing set) when the templates do not parse.
bool StartPanelModel();

}  // namespace panels
