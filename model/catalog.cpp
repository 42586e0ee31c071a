#include "model/catalog.h"

#include "model/dialog_script.h"
#include "resources/resource.h"

namespace model {
namespace {

// resource.h's control ids by name, generated from that header by the build.
constexpr ControlName kControlNames[] = {
#include "control_names.inc"
};

}  // namespace

std::span<const ControlName> ControlNames() { return kControlNames; }

int ControlIdByName(std::string_view name) {
    for (const ControlName& n : kControlNames)
        if (name == n.name) return n.id;
    return -1;
}

const platform::DialogTemplate* Catalog::Template(int id) const {
    for (const platform::DialogTemplate& t : templates)
        if (t.id == id) return &t;
    return nullptr;
}

const platform::ControlTemplate* Catalog::Control(int id) const {
    if (id == -1) return nullptr;
    for (const platform::DialogTemplate& t : templates)
        if (const platform::ControlTemplate* c = t.Find(id)) return c;
    return nullptr;
}

const PanelInfo* Catalog::Panel(int panel) const {
    if (panel < 0 || static_cast<std::size_t>(panel) >= panelCount) return nullptr;
    return &panels[panel];
}

int Catalog::FindPanel(std::string_view name) const {
    for (std::size_t i = 0; i < panelCount; ++i)
        if (name == panels[i].name) return static_cast<int>(i);
    return -1;
}

const PanelStepper* Catalog::Stepper(int panel, int id) const {
    const PanelInfo* info = Panel(panel);
    if (info == nullptr || id == -1) return nullptr;
    for (std::size_t i = 0; i < info->stepperCount; ++i)
        if (info->steppers[i].id == id) return &info->steppers[i];
    return nullptr;
}

bool BuildCatalog(const char* script, const PanelInfo* panels, std::size_t count, int combinedTemplateId,
                  Catalog* out, std::string* error) {
    Catalog built;
    if (!ParseDialogScript(script, &built.templates, error)) return false;
    built.panels = panels;
    built.panelCount = count;
    built.combinedTemplate = combinedTemplateId;
    for (std::size_t i = 0; i < count; ++i) {
        if (built.Template(panels[i].templateId) == nullptr) {
            *error = std::string("no template for panel ") + panels[i].name;
            return false;
        }
    }
    *out = std::move(built);
    return true;
}

}  // namespace model
