#include "model/dialog_words.h"

#include "platform/dialog_template.h"

namespace model::rc {
namespace {

namespace style = platform::style;

// Values of the names a script may use in style expressions.
struct NamedValue {
    const char* name;
    std::uint32_t value;
};

constexpr NamedValue kNames[] = {
    {"WS_POPUP", 0x80000000}, {"WS_CHILD", style::kChild}, {"WS_VISIBLE", style::kVisible},
    {"WS_DISABLED", 0x08000000}, {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", style::kBorder},
    {"WS_DLGFRAME", 0x00400000}, {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000},
    {"WS_SYSMENU", 0x00080000}, {"WS_GROUP", style::kGroup}, {"WS_TABSTOP", style::kTabStop},
    {"SS_LEFT", style::kStaticLeft}, {"SS_CENTER", style::kStaticCenter},
    {"SS_RIGHT", style::kStaticRight}, {"SS_SIMPLE", 0xB}, {"SS_LEFTNOWORDWRAP", 0xC},
    {"SS_NOPREFIX", 0x80}, {"SS_NOTIFY", style::kStaticNotify}, {"SS_CENTERIMAGE", 0x200},
    {"SS_SUNKEN", style::kStaticSunken},
    {"BS_PUSHBUTTON", style::kButtonPush}, {"BS_DEFPUSHBUTTON", 0x1}, {"BS_CHECKBOX", 0x2},
    {"BS_AUTOCHECKBOX", style::kButtonAutoCheck}, {"BS_GROUPBOX", style::kButtonGroupBox},
    {"BS_LEFTTEXT", style::kButtonLeftText}, {"BS_RIGHTBUTTON", style::kButtonLeftText},
    {"BS_LEFT", 0x100}, {"BS_RIGHT", 0x200}, {"BS_CENTER", 0x300}, {"BS_TOP", 0x400},
    {"BS_BOTTOM", 0x800}, {"BS_VCENTER", style::kButtonVCenter}, {"BS_MULTILINE", 0x2000},
    {"BS_FLAT", 0x8000},
    {"UDS_WRAP", style::kUpDownWrap}, {"UDS_SETBUDDYINT", 0x2}, {"UDS_ALIGNRIGHT", 0x4},
    {"UDS_ALIGNLEFT", 0x8}, {"UDS_AUTOBUDDY", 0x10}, {"UDS_ARROWKEYS", style::kUpDownArrowKeys},
    {"UDS_HORZ", style::kUpDownHorz}, {"UDS_NOTHOUSANDS", 0x80}, {"UDS_HOTTRACK", 0x100},
    {"DS_3DLOOK", 0x4}, {"DS_FIXEDSYS", 0x8}, {"DS_SETFONT", style::kDialogSetFont},
    {"DS_SHELLFONT", style::kDialogShellFont}, {"DS_MODALFRAME", 0x80},
    {"DS_CONTROL", style::kDialogControl}, {"DS_CENTER", 0x800},
    {"WS_EX_TRANSPARENT", 0x20}, {"WS_EX_CLIENTEDGE", 0x200},
    {"WS_EX_CONTROLPARENT", 0x10000}, {"WS_EX_STATICEDGE", style::kExStaticEdge},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

constexpr Statement kStatements[] = {
    {"LTEXT", "Static", style::kStaticLeft | style::kGroup},
    {"RTEXT", "Static", style::kStaticRight | style::kGroup},
    {"CTEXT", "Static", style::kStaticCenter | style::kGroup},
    {"GROUPBOX", "Button", style::kButtonGroupBox},
    {"PUSHBUTTON", "Button", style::kButtonPush | style::kTabStop},
    {"DEFPUSHBUTTON", "Button", 0x1 | style::kTabStop},
    {"AUTOCHECKBOX", "Button", style::kButtonAutoCheck | style::kTabStop},
};

constexpr const char* kClasses[] = {"Static", "Button", "msctls_updown32"};

}  // namespace

bool LookupName(std::string_view name, std::uint32_t* value) {
    for (const NamedValue& n : kNames) {
        if (name == n.name) {
            *value = n.value;
            return true;
        }
    }
    return false;
}

const Statement* FindStatement(std::string_view keyword) {
    const Statement* found = nullptr;
    for (const Statement& s : kStatements)
        if (keyword == s.keyword) found = &s;
    return found;
}

const char* KnownClass(std::string_view name) {
    const char* found = nullptr;
    for (const char* known : kClasses)
        if (EqualNoCase(name, known)) found = known;
    return found;
}

bool IsMemoryOption(std::string_view name) {
    for (const char* o : {"DISCARDABLE", "MOVEABLE", "FIXED", "PURE", "IMPURE", "PRELOAD",
                          "LOADONCALL", "SHARED", "NONSHARED"})
        if (name == o) return true;
    return false;
}

}  // namespace model::rc
