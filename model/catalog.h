// What the panels are made of, read once at start-up: the parsed dialog
// templates, each control's kind, the control names of resource.h (a table
// the build generates from it), and the panel table's rows and steppers.
// Windows, browsers and boards all read this one copy.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_template.h"

namespace model {

// An up-down whose steps a held Shift (or a page's ×10 toggle) multiplies.
struct PanelStepper {
    int id;
    std::int32_t amount;       // carried by one step
    std::int32_t shiftAmount;  // carried by one step with Shift held
};

// One row of the panel table: the one place a panel is named.
struct PanelInfo {
    const char* name;   // "status", "autopilot", "navdisp", "radios"
    const char* title;  // its window's title
    int templateId;     // the dialog template its window is built from
    platform::DialogProc proc;  // its dialog procedure (GUI thread)
    void (*refresh)(platform::Dialog* dialog);  // its refresh (refresh thread)
    const PanelStepper* steppers;  // the ×10 steppers, or nullptr
    std::size_t stepperCount;
    // The combined window's controls that no panel's own template has (the
    // ADF rows) belong to this panel.
    bool ownsCombinedExtras;
};

// A control's name as a parameter file writes it: resource.h's IDC_ name,
// lower case, without the prefix ("com1_active").
struct ControlName {
    const char* name;
    int id;
};
std::span<const ControlName> ControlNames();
int ControlIdByName(std::string_view name);  // -1 when no control has it

struct Catalog {
    std::vector<platform::DialogTemplate> templates;
    const PanelInfo* panels = nullptr;  // lives until the process ends
    std::size_t panelCount = 0;
    int combinedTemplate = 0;  // the combined window's template

    const platform::DialogTemplate* Template(int id) const;  // nullptr when absent
    // The first template's control `id` (id -1 never).
    const platform::ControlTemplate* Control(int id) const;
    const PanelInfo* Panel(int panel) const;  // nullptr when out of range
    int FindPanel(std::string_view name) const;  // -1 when no panel has it
    // The stepper row of control `id` in panel `panel`, or nullptr: whether a
    // control is a stepper is asked here, never by comparing ids.
    const PanelStepper* Stepper(int panel, int id) const;
};

// Parses `script` and takes the panel table. false, with the parser's
// message, when the script does not parse or lacks a panel's template.
bool BuildCatalog(const char* script, const PanelInfo* panels, std::size_t count, int combinedTemplateId,
                  Catalog* out, std::string* error);

}  // namespace model
