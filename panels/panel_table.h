// The one panel table: each panel's name, title, template, procedure,
// refresh and steppers, written once. The windows, the refresh, the model
// and through it every front-end read it.
#pragma once
#include <cstddef>
#include <string>

#include "model/panel_model.h"

namespace panels {

// Rows of the table, in the order the refresh runs them.
enum PanelIndex : int { kAutopilotPanel, kNavDispPanel, kRadiosPanel, kStatusPanel, kPanelCount };

const model::PanelInfo& PanelRow(PanelIndex panel);

// The stepper row of up-down `id` of `panel`, or nullptr when it is not one
// of that panel's steppers.
const model::PanelStepper* StepperOf(PanelIndex panel, int id);

// Parses the templates once into `out`, with the table: what app/ builds
// the panel model from and hands the windowing host. false (with `out`
// untouched, and why in `error`) when they do not parse.
bool LoadPanelCatalog(model::Catalog* out, std::string* error = nullptr);

}  // namespace panels
