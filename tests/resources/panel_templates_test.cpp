// The five dialog templates of the program, checked against the panel
// layouts: ids, kinds, texts, positions and sizes in each panel's own
// template and in the combined one, plus the style bits the panels rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/dialog_template.h"
#include "resources/dialog_script.h"

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::TextAlign;

constexpr ControlKind L = ControlKind::Label;
constexpr ControlKind F = ControlKind::ValueField;
constexpr ControlKind C = ControlKind::CheckBox;
constexpr ControlKind U = ControlKind::UpDown;
constexpr ControlKind P = ControlKind::PushButton;

// One control of a panel. ownX < 0: only in the combined template. w == 0:
// a label whose size is ours to choose (must fit its text). bigW/bigH and
// bigText: where the combined template differs.
struct Row {
    int id;
    ControlKind kind;
    const char* text;
    int ownX, ownY, bigX, bigY, w, h;
    const char* bigText = nullptr;
    int bigW = 0, bigH = 0;
};

struct Panel {
    const char* name;
    int templateId;
    const char* group;  // group box of the combined template
    std::vector<Row> rows;
};

const std::vector<Panel>& Panels() {
    static const std::vector<Panel> panels = {
        {"Radios", 104, "Radios", {
            {-1, L, "Com1", 31, 17, 37, 30, 0, 0, "COM 1"},
            {-1, L, "Active", 67, 17, 73, 30, 0, 0},
            {-1, L, "Standby", 67, 30, 73, 43, 0, 0},
            {1063, U, "", 118, 17, 124, 30, 11, 23},
            {1023, F, "", 133, 17, 139, 30, 35, 11},
            {1024, F, "", 133, 30, 139, 43, 35, 11},
            {1039, U, "", 173, 17, 179, 30, 11, 23},
            {-1, L, "Com2", 31, 46, 37, 59, 0, 0, "COM 2"},
            {-1, L, "Active", 67, 46, 73, 59, 0, 0},
            {-1, L, "Standby", 67, 59, 73, 72, 0, 0},
            {1064, U, "", 118, 46, 124, 59, 11, 23},
            {1025, F, "", 133, 46, 139, 59, 35, 11},
            {1026, F, "", 133, 59, 139, 72, 35, 11},
            {1040, U, "", 173, 46, 179, 59, 11, 23},
            {-1, L, "Nav1", 31, 77, 37, 90, 0, 0, "NAV 1"},
            {-1, L, "Active", 67, 77, 73, 90, 0, 0},
            {-1, L, "Standby", 67, 89, 73, 102, 0, 0},
            {1065, U, "", 118, 77, 124, 90, 11, 23},
            {1027, F, "", 133, 77, 139, 90, 35, 11},
            {1028, F, "", 133, 89, 139, 102, 35, 11},
            {1041, U, "", 173, 77, 179, 90, 11, 23},
            {-1, L, "Nav2", 31, 107, 37, 120, 0, 0, "NAV 2"},
            {-1, L, "Active", 67, 107, 73, 120, 0, 0},
            {-1, L, "Standby", 67, 119, 73, 132, 0, 0},
            {1066, U, "", 118, 107, 124, 120, 11, 23},
            {1029, F, "", 133, 107, 139, 120, 35, 11},
            {1030, F, "", 133, 120, 139, 133, 35, 11},
            {1042, U, "", 173, 107, 179, 120, 11, 23},
            {-1, L, "ADF 1", -1, -1, 38, 150, 0, 0},
            {-1, L, "Active", -1, -1, 74, 150, 0, 0},
            {-1, L, "Standby", -1, -1, 74, 163, 0, 0},
            {1071, U, "", -1, -1, 124, 150, 11, 23},
            {1053, F, "", -1, -1, 140, 151, 35, 11},
            {1054, F, "", -1, -1, 140, 164, 35, 11},
            {1057, U, "", -1, -1, 180, 150, 11, 23},
            {-1, L, "ADF 2", -1, -1, 37, 182, 0, 0},
            {-1, L, "Active", -1, -1, 73, 182, 0, 0},
            {-1, L, "Standby", -1, -1, 73, 195, 0, 0},
            {1075, U, "", -1, -1, 123, 182, 11, 23},
            {1061, F, "", -1, -1, 139, 182, 35, 11},
            {1062, F, "", -1, -1, 139, 196, 35, 11},
            {1074, U, "", -1, -1, 179, 182, 11, 23},
        }},
        {"Nav Display", 105, "Nav Displays", {
            {-1, L, "Captain", 60, 12, 286, 26, 26, 8},
            {-1, L, "Mode", 22, 26, 254, 41, 18, 8},
            {1034, F, "", 46, 26, 278, 41, 50, 11},
            {1091, P, "+", 99, 27, 331, 42, 14, 9},
            {-1, L, "OBS", 22, 43, 254, 62, 18, 8},
            {1067, U, "", 46, 43, 278, 62, 11, 14},
            {1055, F, "", 60, 44, 292, 63, 35, 11},
            {2008, U, "", 99, 43, 331, 62, 11, 14},
            {-1, L, "Range", 18, 60, 250, 84, 22, 8},
            {1007, U, "", 46, 60, 278, 83, 11, 14},
            {1069, F, "", 60, 62, 292, 85, 35, 11},
            {1008, C, "Airports", 27, 79, 259, 112, 49, 10},
            {1032, C, "Nav Aids", 27, 92, 259, 132, 49, 10},
            {1033, C, "Waypoints", 27, 105, 259, 152, 49, 10},
            {1043, C, "ADF", 27, 118, 259, 172, 49, 10},
            {1044, C, "VOR", 27, 131, 259, 192, 49, 10},
            {-1, L, "First Officer", 147, 12, 379, 26, 39, 8},
            {-1, L, "Mode", 122, 26, 354, 41, 18, 8},
            {1035, F, "", 145, 26, 378, 41, 50, 11, nullptr, 49, 11},
            {1092, P, "+", 198, 27, 430, 42, 14, 9},
            {-1, L, "OBS", 122, 43, 354, 62, 18, 8},
            {1068, U, "", 145, 43, 377, 62, 11, 14},
            {1056, F, "", 160, 44, 392, 63, 35, 11},
            {1059, U, "", 200, 43, 432, 62, 11, 14},
            {-1, L, "Range", 118, 61, 350, 85, 22, 8},
            {1012, U, "", 145, 61, 377, 84, 11, 14},
            {1070, F, "", 160, 62, 392, 85, 35, 11},
            {1009, C, "Airports", 132, 79, 374, 112, 49, 10},
            {1047, C, "Nav Aids", 132, 92, 374, 132, 49, 10},
            {1048, C, "Waypoints", 132, 105, 374, 152, 49, 10},
            {1045, C, "ADF", 132, 118, 374, 172, 49, 10},
            {1046, C, "VOR", 132, 131, 374, 192, 49, 10},
        }},
        {"Autopilot", 106, "Auto Pilot", {
            {1052, C, "Flight Dir", 24, 15, 30, 255, 44, 10},
            {2011, C, "Autopilot", 91, 16, 97, 256, 45, 10},
            {2012, C, "Loc", 170, 16, 170, 256, 27, 10},
            {2010, C, "Thrust Arm", 17, 30, 23, 270, 51, 10},
            {1058, C, "App", 107, 30, 113, 270, 29, 10},
            {1088, C, "TO/GA", 160, 30, 160, 270, 37, 10},
            {1089, C, "VNAV", 35, 46, 41, 284, 33, 10},
            {1090, C, "LNAV", 103, 46, 109, 284, 33, 10},
            {-1, L, "Heading", 32, 64, 38, 303, 30, 8},
            {1001, U, "", 75, 64, 81, 303, 15, 14},
            {1016, F, "", 94, 64, 100, 303, 35, 11},
            {1036, U, "", 135, 64, 141, 303, 15, 14},
            {1049, C, "Hold", 157, 64, 163, 303, 30, 10},
            {-1, L, "Altitude", 32, 83, 38, 322, 30, 8},
            {1002, U, "", 75, 83, 81, 322, 11, 14},
            {1018, F, "", 94, 83, 100, 322, 35, 11},
            {1037, U, "", 135, 83, 141, 322, 11, 14},
            {1050, C, "Hold", 157, 83, 163, 322, 30, 10},
            {-1, L, "Speed", 32, 102, 38, 341, 30, 8},
            {1003, U, "", 75, 102, 81, 341, 11, 14},
            {1019, F, "", 94, 102, 100, 341, 35, 11},
            {1038, U, "", 135, 102, 141, 341, 11, 14},
            {1051, C, "Hold", 157, 102, 163, 341, 30, 10},
            {-1, L, "Minimums", 28, 123, 34, 359, 34, 8},
            {1060, F, "", 94, 123, 100, 359, 35, 11},
        }},
        {"Status", 107, "Status", {
            {-1, L, "Heading", 14, 18, 259, 255, 0, 0},
            {1020, F, "", 57, 18, 302, 255, 35, 11},
            {-1, L, "Altitude", 14, 34, 259, 271, 0, 0},
            {1021, F, "", 57, 34, 302, 271, 35, 11},
            {-1, L, "Speed", 14, 50, 259, 287, 0, 0},
            {1022, F, "", 57, 50, 302, 287, 35, 11},
            {-1, L, "Flaps", 115, 18, 360, 255, 0, 0},
            {1031, F, "", 165, 18, 410, 255, 35, 11},
            {-1, L, "Gear", 115, 34, 360, 271, 0, 0},
            {2007, F, "", 165, 34, 410, 271, 35, 11},
            {-1, L, "Barometer", 115, 50, 360, 287, 0, 0},
            {2009, F, "", 165, 50, 410, 287, 35, 11},
            {-1, L, "Pause", 28, 66, 273, 303, 0, 0},
            {2000, F, "", 57, 66, 302, 303, 35, 11},
            {-1, L, "Frame Rates", 107, 66, 352, 303, 0, 0},
            {2001, F, "", 165, 66, 410, 303, 35, 11},
            {-1, L, "Net Stats", 17, 82, 262, 319, 0, 0},
            {2002, F, "", 57, 82, 302, 319, 35, 11},
            {-1, L, "Tot C Msgs", 12, 99, 257, 336, 0, 0},
            {2004, F, "", 57, 99, 302, 336, 35, 11},
            {-1, L, "Missed C Msgs", 102, 99, 347, 336, 0, 0},
            {2003, F, "", 165, 99, 410, 336, 35, 11},
            {-1, L, "Tot L Msgs", 13, 116, 258, 353, 0, 0},
            {2006, F, "", 58, 116, 303, 353, 35, 11},
            {-1, L, "Missed L Msgs", 103, 116, 348, 353, 0, 0},
            {2005, F, "", 165, 116, 410, 353, 35, 11},
            {1072, U, "", 153, 17, 398, 254, 10, 14},
            {1073, U, "", 202, 17, 447, 254, 10, 14},
        }},
    };
    return panels;
}

struct GroupBox {
    const char* text;
    int x, y, w, h;
};
constexpr GroupBox kGroups[] = {
    {"Radios", 22, 9, 189, 209},
    {"Nav Displays", 241, 9, 222, 209},
    {"Auto Pilot", 22, 229, 189, 154},
    {"Status", 241, 229, 222, 154},
};

class PanelTemplates : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        parsed_ = platform::ParseDialogScript(PanelDialogScript(), &templates_, &error);
        error_ = error;
    }
    static const DialogTemplate* Template(int id) {
        for (const DialogTemplate& d : templates_)
            if (d.id == id) return &d;
        return nullptr;
    }
    // Labels are not addressable: found by text and position.
    static const ControlTemplate* FindLabel(const DialogTemplate& d, const char* text, int x, int y) {
        for (const ControlTemplate& c : d.controls)
            if (c.kind == ControlKind::Label && c.text == text && c.x == x && c.y == y) return &c;
        return nullptr;
    }
    static const ControlTemplate* Locate(const DialogTemplate& d, const Row& r, const char* text, int x, int y) {
        return r.id == -1 ? FindLabel(d, text, x, y) : d.Find(r.id);
    }

    static inline bool parsed_ = false;
    static inline std::string error_;
    static inline std::vector<DialogTemplate> templates_;
};

TEST_F(PanelTemplates, ParseWithSizesCountsAndDialogStyle) {
    ASSERT_TRUE(parsed_) << error_;
    struct Expect { int id, w, h; std::size_t count; bool staticEdge; };
    const Expect expected[] = {{104, 225, 150, 28, true},  {105, 225, 150, 32, false},
                               {106, 225, 150, 25, false}, {107, 225, 150, 28, false},
                               {108, 484, 404, 131, true}};
    ASSERT_EQ(templates_.size(), 5u);
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.id);
        const DialogTemplate* d = Template(e.id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->x, 0);
        EXPECT_EQ(d->y, 0);
        EXPECT_EQ(d->width, e.w);
        EXPECT_EQ(d->height, e.h);
        EXPECT_EQ(d->controls.size(), e.count);
        EXPECT_EQ(d->style, platform::style::kDialogShellFont | platform::style::kDialogControl |
                                platform::style::kChild);
        EXPECT_EQ(d->exStyle, e.staticEdge ? platform::style::kExStaticEdge : 0u);
        EXPECT_EQ(d->fontName, "MS Shell Dlg");
        EXPECT_EQ(d->fontPointSize, 8);
    }
}

// Each row once in the panel's own template (unless combined-only) and once
// in the combined template, with the same id, kind and text.
TEST_F(PanelTemplates, EveryControlInItsOwnAndTheCombinedOne) {
    ASSERT_TRUE(parsed_) << error_;
    const DialogTemplate* big = Template(108);
    ASSERT_NE(big, nullptr);
    for (const Panel& p : Panels()) {
        const DialogTemplate* own = Template(p.templateId);
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(own->controls.size(), static_cast<std::size_t>(std::count_if(
                      p.rows.begin(), p.rows.end(), [](const Row& r) { return r.ownX >= 0; })))
            << p.name;
        for (const Row& r : p.rows) {
            SCOPED_TRACE(std::string(p.name) + " " + std::to_string(r.id) + " " + r.text);
            const char* bigText = r.bigText != nullptr ? r.bigText : r.text;
            const ControlTemplate* b = Locate(*big, r, bigText, r.bigX, r.bigY);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->kind, r.kind);
            EXPECT_EQ(b->text, bigText);
            EXPECT_EQ(b->x, r.bigX);
            EXPECT_EQ(b->y, r.bigY);
            if (r.w == 0) {  // our own label size: one line, wide enough for the text
                EXPECT_EQ(b->height, 8);
                EXPECT_GE(b->width, 4 * static_cast<int>(std::strlen(bigText)));
            } else {
                EXPECT_EQ(b->width, r.bigW != 0 ? r.bigW : r.w);
                EXPECT_EQ(b->height, r.bigW != 0 ? r.bigH : r.h);
            }
            if (r.ownX < 0) {
                if (r.id != -1) EXPECT_EQ(own->Find(r.id), nullptr);
                else EXPECT_EQ(FindLabel(*own, r.text, r.bigX, r.bigY), nullptr);
                continue;
            }
            const ControlTemplate* o = Locate(*own, r, r.text, r.ownX, r.ownY);
            ASSERT_NE(o, nullptr);
            EXPECT_EQ(o->kind, r.kind);
            EXPECT_EQ(o->text, r.text);
            EXPECT_EQ(o->x, r.ownX);
            EXPECT_EQ(o->y, r.ownY);
            if (r.w == 0) {
                EXPECT_EQ(o->height, 8);
                EXPECT_GE(o->width, 4 * static_cast<int>(std::strlen(r.text)));
            } else {
                EXPECT_EQ(o->width, r.w);
                EXPECT_EQ(o->height, r.h);
            }
            // An addressable id appears once per template.
            if (r.id != -1) {
                for (const DialogTemplate* d : {own, big})
                    EXPECT_EQ(std::count_if(d->controls.begin(), d->controls.end(),
                                            [&](const ControlTemplate& c) { return c.id == r.id; }),
                              1);
            }
        }
    }
}

TEST_F(PanelTemplates, CombinedTemplateKeepsEachPanelInItsBox) {
    ASSERT_TRUE(parsed_) << error_;
    const DialogTemplate* big = Template(108);
    ASSERT_NE(big, nullptr);
    std::vector<const ControlTemplate*> boxes;
    for (const ControlTemplate& c : big->controls)
        if (c.kind == ControlKind::GroupBox) boxes.push_back(&c);
    ASSERT_EQ(boxes.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes[i]->id, -1);
        EXPECT_EQ(boxes[i]->text, kGroups[i].text);
        EXPECT_EQ(boxes[i]->x, kGroups[i].x);
        EXPECT_EQ(boxes[i]->y, kGroups[i].y);
        EXPECT_EQ(boxes[i]->width, kGroups[i].w);
        EXPECT_EQ(boxes[i]->height, kGroups[i].h);
    }
    for (const Panel& p : Panels()) {
        const GroupBox* g = nullptr;
        for (const GroupBox& box : kGroups)
            if (std::strcmp(box.text, p.group) == 0) g = &box;
        ASSERT_NE(g, nullptr);
        for (const Row& r : p.rows) {
            const char* text = r.bigText != nullptr ? r.bigText : r.text;
            const ControlTemplate* c = Locate(*big, r, text, r.bigX, r.bigY);
            ASSERT_NE(c, nullptr);
            EXPECT_TRUE(c->x > g->x && c->y > g->y && c->x + c->width < g->x + g->w &&
                        c->y + c->height < g->y + g->h)
                << p.name << " " << r.id << " " << text;
        }
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
    const std::set<int> notify = {1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1053, 1054,
                                  1061, 1062, 1034, 1035, 1055, 1056, 2007};
    const std::set<int> centred = {1034, 1035, 1055, 1056, 1069, 1070, 1031, 2007};
    const std::set<int> horizontal = {1001, 1036};
    const std::set<int> hidden = {1072, 1073};
    const std::set<int> noArrowKeys = {1001};
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
                              d.id == 105);
                    break;
                case ControlKind::GroupBox:
                    EXPECT_EQ(d.id, 108);
                    break;
            }
        }
    }
}

}  // namespace
