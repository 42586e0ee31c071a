// The five dialog templates of the program, checked for what the panels and
// the hosts rely on: every id of resource.h present where it belongs, each
// panel's controls again in the combined template and inside its group box,
// no overlaps, and the style bits the panels rely on.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "model/dialog_script.h"
#include "platform/dialog_template.h"
#include "resources/dialog_script.h"
#include "resources/resource.h"

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::TextAlign;

constexpr int kPanels[] = {IDD_RADIOS, IDD_NAVDISP, IDD_AUTOPILOT, IDD_STATUS};

// The #defines of resource.h with a prefix ("IDC_", "IDD_"): name to value.
std::map<std::string, int> HeaderIds(const std::string& prefix) {
    std::map<std::string, int> ids;
    const std::string header = PanelResourceHeader();
    const std::regex define("#define\\s+(" + prefix + "\\w+)\\s+(-?\\d+)");
    for (auto it = std::sregex_iterator(header.begin(), header.end(), define);
         it != std::sregex_iterator(); ++it)
        ids[(*it)[1]] = std::stoi((*it)[2]);
    return ids;
}

bool Inside(const ControlTemplate& c, const ControlTemplate& box) {
    return c.x > box.x && c.y > box.y && c.x + c.width < box.x + box.width &&
           c.y + c.height < box.y + box.height;
}

class PanelTemplates : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        parsed_ = model::ParseDialogScript(PanelDialogScript(), &templates_, &error);
        error_ = error;
    }
    static const DialogTemplate* Template(int id) {
        for (const DialogTemplate& d : templates_)
            if (d.id == id) return &d;
        return nullptr;
    }
    static int Count(const DialogTemplate& d, int id) {
        int n = 0;
        for (const ControlTemplate& c : d.controls) n += c.id == id ? 1 : 0;
        return n;
    }

    static inline bool parsed_ = false;
    static inline std::string error_;
    static inline std::vector<DialogTemplate> templates_;
};

TEST_F(PanelTemplates, ParseWithSizesAndDialogStyle) {
    ASSERT_TRUE(parsed_) << error_;
    ASSERT_EQ(templates_.size(), 5u);
    for (const auto& [name, id] : HeaderIds("IDD_")) {
        SCOPED_TRACE(name);
        const DialogTemplate* d = Template(id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->x, 0);
        EXPECT_EQ(d->y, 0);
        EXPECT_EQ(d->width, id == IDD_BIGWIN ? 484 : 225);
        EXPECT_EQ(d->height, id == IDD_BIGWIN ? 404 : 150);
        EXPECT_EQ(d->style, platform::style::kDialogShellFont | platform::style::kDialogControl |
                                platform::style::kChild);
        const bool edge = id == IDD_BIGWIN || id == IDD_RADIOS;
        EXPECT_EQ(d->exStyle, edge ? platform::style::kExStaticEdge : 0u);
        EXPECT_EQ(d->fontName, "MS Shell Dlg");
        EXPECT_EQ(d->fontPointSize, 8);
    }
}

// The panels address controls by the names of resource.h: each one stands
// once in the combined template and once in one panel's own template (the
// ADF rows in the combined one only), and no template has an id the header
// lacks.
TEST_F(PanelTemplates, EveryHeaderIdWhereThePanelsLookForIt) {
    ASSERT_TRUE(parsed_) << error_;
    const std::map<std::string, int> ids = HeaderIds("IDC_");
    ASSERT_GT(ids.size(), 80u);
    std::set<int> known;
    for (const auto& [name, id] : ids) {
        SCOPED_TRACE(name);
        known.insert(id);
        EXPECT_EQ(Count(*Template(IDD_BIGWIN), id), 1);
        int owners = 0;
        for (int panel : kPanels) owners += Count(*Template(panel), id);
        EXPECT_EQ(owners, name.rfind("IDC_ADF", 0) == 0 ? 0 : 1);
    }
    for (const DialogTemplate& d : templates_)
        for (const ControlTemplate& c : d.controls)
            EXPECT_TRUE(c.id == -1 || known.count(c.id) == 1) << d.id << ": " << c.id;
}

// A panel's controls look the same in the combined template, and there
// they all lie inside one group box of their own.
TEST_F(PanelTemplates, EachPanelInItsOwnBoxOfTheCombined) {
    ASSERT_TRUE(parsed_) << error_;
    const DialogTemplate* big = Template(IDD_BIGWIN);
    std::vector<const ControlTemplate*> boxes;
    for (const ControlTemplate& c : big->controls)
        if (c.kind == ControlKind::GroupBox) boxes.push_back(&c);
    ASSERT_EQ(boxes.size(), 4u);
    std::set<const ControlTemplate*> taken;
    for (int panel : kPanels) {
        const ControlTemplate* box = nullptr;
        for (const ControlTemplate& own : Template(panel)->controls) {
            if (own.id == -1) continue;
            SCOPED_TRACE(std::to_string(panel) + ": " + std::to_string(own.id));
            const ControlTemplate* c = big->Find(own.id);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->kind, own.kind);
            EXPECT_EQ(c->text, own.text);
            EXPECT_EQ(c->style, own.style & ~platform::style::kButtonVCenter);
            for (const ControlTemplate* b : boxes)
                if (box == nullptr && Inside(*c, *b)) box = b;
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(Inside(*c, *box));
        }
        EXPECT_TRUE(taken.insert(box).second) << panel << " shares its box";
    }
    for (const ControlTemplate& c : big->controls) {
        int holders = 0;
        for (const ControlTemplate* b : boxes) holders += Inside(c, *b) ? 1 : 0;
        EXPECT_EQ(holders, c.kind == ControlKind::GroupBox ? 0 : 1) << c.id << " " << c.text;
    }
}

// No two controls of a template overlap, and all lie within the dialog:
// catches a label sized too wide or a mistyped position.
TEST_F(PanelTemplates, ControlsDoNotOverlap) {
    ASSERT_TRUE(parsed_) << error_;
    for (const DialogTemplate& d : templates_) {
        for (std::size_t i = 0; i < d.controls.size(); ++i) {
            const ControlTemplate& a = d.controls[i];
            EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= d.width && a.y + a.height <= d.height)
                << d.id << " " << a.id << " " << a.text;
            if (a.kind == ControlKind::GroupBox) continue;
            for (std::size_t j = i + 1; j < d.controls.size(); ++j) {
                const ControlTemplate& b = d.controls[j];
                if (b.kind == ControlKind::GroupBox) continue;
                const bool overlap = a.x < b.x + b.width && b.x < a.x + a.width &&
                                     a.y < b.y + b.height && b.y < a.y + a.height;
                EXPECT_FALSE(overlap) << d.id << ": " << a.id << " \"" << a.text << "\" at " << a.x
                                      << "," << a.y << " and " << b.id << " \"" << b.text
                                      << "\" at " << b.x << "," << b.y;
            }
        }
    }
}

TEST_F(PanelTemplates, StyleBitsThePanelsRelyOn) {
    ASSERT_TRUE(parsed_) << error_;
    const std::set<int> notify = {
        IDC_COM1_ACTIVE, IDC_COM1_STANDBY, IDC_COM2_ACTIVE, IDC_COM2_STANDBY, IDC_NAV1_ACTIVE,
        IDC_NAV1_STANDBY, IDC_NAV2_ACTIVE, IDC_NAV2_STANDBY, IDC_ADF1_ACTIVE, IDC_ADF1_STANDBY,
        IDC_ADF2_ACTIVE, IDC_ADF2_STANDBY, IDC_CAPT_MODE, IDC_FO_MODE, IDC_CAPT_COURSE,
        IDC_FO_COURSE, IDC_GEAR};
    const std::set<int> centred = {IDC_CAPT_MODE, IDC_FO_MODE, IDC_CAPT_COURSE, IDC_FO_COURSE,
                                   IDC_CAPT_RANGE, IDC_FO_RANGE, IDC_FLAPS, IDC_GEAR};
    const std::set<int> horizontal = {IDC_HEADING_COARSE, IDC_HEADING_FINE};
    const std::set<int> hidden = {IDC_STATUS_SPIN_LEFT, IDC_STATUS_SPIN_RIGHT};
    const std::set<int> noArrowKeys = {IDC_HEADING_COARSE};
    for (const DialogTemplate& d : templates_) {
        for (const ControlTemplate& c : d.controls) {
            SCOPED_TRACE(std::to_string(d.id) + ": " + std::to_string(c.id) + " " + c.text);
            EXPECT_NE(c.style & platform::style::kChild, 0u);
            EXPECT_EQ(c.Visible(), hidden.count(c.id) == 0);
            switch (c.kind) {
                case ControlKind::ValueField:
                    EXPECT_EQ(c.windowClass, "Static");
                    EXPECT_TRUE(c.Bordered());
                    EXPECT_EQ(c.Notify(), notify.count(c.id) == 1);
                    EXPECT_EQ(c.Align(), centred.count(c.id) ? TextAlign::Center : TextAlign::Right);
                    break;
                case ControlKind::Label:
                    EXPECT_FALSE(c.Bordered());
                    EXPECT_FALSE(c.Notify());
                    EXPECT_EQ(c.Align(), TextAlign::Left);
                    break;
                case ControlKind::CheckBox:
                    EXPECT_EQ(c.style & platform::style::kButtonTypeMask, platform::style::kButtonAutoCheck);
                    EXPECT_TRUE(c.LeftText());
                    break;
                case ControlKind::UpDown:
                    EXPECT_EQ(c.windowClass, "msctls_updown32");
                    EXPECT_EQ(c.Horizontal(), horizontal.count(c.id) == 1);
                    EXPECT_EQ((c.style & platform::style::kUpDownArrowKeys) == 0, noArrowKeys.count(c.id) == 1);
                    break;
                case ControlKind::PushButton:
                    // Centred vertically in the Nav Display's own template only.
                    EXPECT_EQ((c.style & platform::style::kButtonVCenter) == platform::style::kButtonVCenter,
                              d.id == IDD_NAVDISP);
                    break;
                case ControlKind::GroupBox:
                    EXPECT_EQ(d.id, IDD_BIGWIN);
                    break;
            }
        }
    }
}

}  // namespace
