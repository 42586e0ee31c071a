// The four panels as the browser sees them: their names, the templates the
// windows are built from, and where the combined window places each.
#pragma once
#include <string>
#include <vector>

#include "model/catalog.h"
#include "model/panel_model.h"
#include "platform/dialog_template.h"

namespace web {

// The panels as the model's catalog holds them (parsed once at start-up).
struct PanelSet {
    model::PanelModel* model = nullptr;  // outlives the server
};

// The kind a browser draws: group, label, value, notify, check, updown, button.
const char* KindName(const platform::ControlTemplate& control);

// The control `id` of panel `panel` ("combined": the combined window's
// template), or nullptr (id -1 is never found).
const platform::ControlTemplate* FindPanelControl(const PanelSet& set, const std::string& panel, int id);

// The /templates.json document: every panel's controls in dialog units, in
// the order the combined window places them, and that window's layout and
// controls.
std::string TemplatesJson(const PanelSet& set);

}  // namespace web
