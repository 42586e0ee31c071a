#include "web/panel_set.h"

#include <algorithm>
#include <span>

#include "model/panel_model.h"
#include "web/frames.h"

namespace web {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;

const DialogTemplate* FindTemplate(const PanelSet& set, int id) {
    return set.model != nullptr ? set.model->catalog().Template(id) : nullptr;
}

std::span<const model::PanelInfo> Rows(const PanelSet& set) {
    if (set.model == nullptr) return {};
    return {set.model->catalog().panels, set.model->catalog().panelCount};
}

const char* AlignName(platform::TextAlign align) {
    switch (align) {
        case platform::TextAlign::Center: return "center";
        case platform::TextAlign::Right: return "right";
        default: return "left";
    }
}

struct Place {
    int x = 0, y = 0;
};

// Where the combined template puts a panel: the offset of the first control
// the two share.
Place CombinedPlace(const DialogTemplate& combined, const DialogTemplate& panel) {
    for (const ControlTemplate& control : panel.controls) {
        if (control.id == -1) continue;
        if (const ControlTemplate* there = combined.Find(control.id))
            return Place{there->x - control.x, there->y - control.y};
    }
    return Place{};
}

// Marks from the panel table: a stepper that Shift multiplies, and the
// panel that owns a control of the combined window.
std::string TableMarks(model::PanelModel& model, const ControlTemplate& c, int panel, bool owner) {
    const model::Catalog& catalog = model.catalog();
    std::string out;
    if (c.id == -1) return out;
    if (panel >= 0) {
        const model::PanelStepper* stepper = catalog.Stepper(panel, c.id);
        if (stepper != nullptr && stepper->shiftAmount != stepper->amount) out += ",\"shift\":true";
    }
    if (owner) {
        for (std::size_t p = 0; p < catalog.panelCount; ++p) {
            if (!model::PanelHasControl(model, static_cast<int>(p), c.id)) continue;
            const model::PanelStepper* stepper = catalog.Stepper(static_cast<int>(p), c.id);
            if (stepper != nullptr && stepper->shiftAmount != stepper->amount) out += ",\"shift\":true";
            out += ",\"panel\":" + JsonString(catalog.panels[p].name);
            break;
        }
    }
    return out;
}

std::string ControlJson(const ControlTemplate& c, const std::string& marks) {
    const std::string kind = KindName(c);
    std::string out = "{\"id\":" + std::to_string(c.id) + ",\"kind\":\"" + kind + "\"";
    if (kind != "updown") out += ",\"text\":" + JsonString(c.text);
    out += ",\"x\":" + std::to_string(c.x) + ",\"y\":" + std::to_string(c.y) + ",\"w\":" + std::to_string(c.width) +
           ",\"h\":" + std::to_string(c.height);
    if (kind == "label" || kind == "value" || kind == "notify") {
        out += std::string(",\"align\":\"") + AlignName(c.Align()) + "\"";
        out += std::string(",\"border\":") + (c.Bordered() ? "true" : "false");
    }
    if (kind == "updown") out += std::string(",\"horizontal\":") + (c.Horizontal() ? "true" : "false");
    if (!c.Visible()) out += ",\"hidden\":true";
    return out + marks + "}";
}

}  // namespace

const char* KindName(const ControlTemplate& c) {
    switch (c.kind) {
        case ControlKind::GroupBox: return "group";
        case ControlKind::CheckBox: return "check";
        case ControlKind::UpDown: return "updown";
        case ControlKind::PushButton: return "button";
        default:
            if (c.Notify()) return "notify";
            return c.Bordered() ? "value" : "label";
    }
}

const ControlTemplate* FindPanelControl(const PanelSet& set, const std::string& panel, int id) {
    if (id == -1) return nullptr;
    if (panel == "combined") {
        const DialogTemplate* t = FindTemplate(set, set.model != nullptr ? set.model->catalog().combinedTemplate : 0);
        return t != nullptr ? t->Find(id) : nullptr;
    }
    for (const model::PanelInfo& p : Rows(set)) {
        if (p.name != panel) continue;
        const DialogTemplate* t = FindTemplate(set, p.templateId);
        return t != nullptr ? t->Find(id) : nullptr;
    }
    return nullptr;
}

std::string TemplatesJson(const PanelSet& set) {
    if (set.model == nullptr) return "{}";
    const model::Catalog& catalog = set.model->catalog();
    const DialogTemplate* combined = catalog.Template(catalog.combinedTemplate);
    struct Placed {
        const model::PanelInfo* panel;
        const DialogTemplate* dialog;
        Place place;
    };
    std::vector<Placed> placed;
    for (const model::PanelInfo& p : Rows(set)) {
        const DialogTemplate* t = catalog.Template(p.templateId);
        if (t == nullptr) continue;
        placed.push_back(Placed{&p, t, combined != nullptr ? CombinedPlace(*combined, *t) : Place{}});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return a.place.y != b.place.y ? a.place.y < b.place.y : a.place.x < b.place.x;
    });
    std::string out = "{\"panels\":[";
    std::string places;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const DialogTemplate& t = *placed[i].dialog;
        if (i != 0) {
            out += ",";
            places += ",";
        }
        out += "{\"name\":" + JsonString(placed[i].panel->name) + ",\"title\":" + JsonString(placed[i].panel->title) +
               ",\"template\":" + std::to_string(t.id) + ",\"w\":" + std::to_string(t.width) +
               ",\"h\":" + std::to_string(t.height) + ",\"controls\":[";
        const int panel = catalog.FindPanel(placed[i].panel->name);
        for (std::size_t k = 0; k < t.controls.size(); ++k)
            out += (k != 0 ? "," : "") + ControlJson(t.controls[k], TableMarks(*set.model, t.controls[k], panel, false));
        out += "]}";
        places += JsonString(placed[i].panel->name) + ":[" + std::to_string(placed[i].place.x) + "," +
                  std::to_string(placed[i].place.y) + "]";
    }
    out += "],\"combined\":{\"w\":" + std::to_string(combined != nullptr ? combined->width : 0) +
           ",\"h\":" + std::to_string(combined != nullptr ? combined->height : 0) + ",\"place\":{" + places + "}";
    // The combined window's own controls: it has some no single panel has
    // (the ADF steppers).
    if (combined != nullptr) {
        out += ",\"template\":" + std::to_string(combined->id) + ",\"controls\":[";
        for (std::size_t k = 0; k < combined->controls.size(); ++k)
            out += (k != 0 ? "," : "") + ControlJson(combined->controls[k], TableMarks(*set.model, combined->controls[k], -1, true));
        out += "]";
    }
    return out + "}}";
}

}  // namespace web
