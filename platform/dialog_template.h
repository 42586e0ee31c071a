// Dialog templates as data (model/dialog_script.h reads them from a resource
// script). No toolkit type here; the windowing host builds its dialogs from
// these records.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Window, static, button and up-down style bits, with their Windows values.
namespace style {
constexpr std::uint32_t kChild = 0x40000000;      // WS_CHILD
constexpr std::uint32_t kVisible = 0x10000000;    // WS_VISIBLE
constexpr std::uint32_t kBorder = 0x00800000;     // WS_BORDER
constexpr std::uint32_t kGroup = 0x00020000;      // WS_GROUP
constexpr std::uint32_t kTabStop = 0x00010000;    // WS_TABSTOP
constexpr std::uint32_t kStaticLeft = 0x0;        // SS_LEFT
constexpr std::uint32_t kStaticCenter = 0x1;      // SS_CENTER
constexpr std::uint32_t kStaticRight = 0x2;       // SS_RIGHT
constexpr std::uint32_t kStaticNotify = 0x100;    // SS_NOTIFY
constexpr std::uint32_t kStaticSunken = 0x1000;   // SS_SUNKEN
constexpr std::uint32_t kButtonPush = 0x0;        // BS_PUSHBUTTON
constexpr std::uint32_t kButtonAutoCheck = 0x3;   // BS_AUTOCHECKBOX
constexpr std::uint32_t kButtonGroupBox = 0x7;    // BS_GROUPBOX
constexpr std::uint32_t kButtonTypeMask = 0xF;    // BS_TYPEMASK
constexpr std::uint32_t kButtonLeftText = 0x20;   // BS_LEFTTEXT
constexpr std::uint32_t kButtonVCenter = 0xC00;   // BS_VCENTER
constexpr std::uint32_t kUpDownWrap = 0x1;        // UDS_WRAP
constexpr std::uint32_t kUpDownArrowKeys = 0x20;  // UDS_ARROWKEYS
constexpr std::uint32_t kUpDownHorz = 0x40;       // UDS_HORZ
constexpr std::uint32_t kDialogControl = 0x400;   // DS_CONTROL
constexpr std::uint32_t kDialogSetFont = 0x40;    // DS_SETFONT
constexpr std::uint32_t kDialogShellFont = 0x48;  // DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)
constexpr std::uint32_t kExStaticEdge = 0x20000;  // WS_EX_STATICEDGE
}  // namespace style

enum class ControlKind { Label, ValueField, CheckBox, UpDown, GroupBox, PushButton };
enum class TextAlign { Left, Center, Right };

struct ControlTemplate {
    int id = -1;                 // -1: labels and group boxes, never addressed
    ControlKind kind = ControlKind::Label;
    std::string text;
    std::string windowClass;     // "Static", "Button" or "msctls_updown32"
    std::uint32_t style = 0;     // WS_/SS_/BS_/UDS_ bits
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units

    bool Visible() const { return (style & style::kVisible) != 0; }
    bool Bordered() const;       // value fields: WS_BORDER or SS_SUNKEN or a static edge
    bool Notify() const { return (style & style::kStaticNotify) != 0; }
    TextAlign Align() const;     // statics: from SS_LEFT/SS_CENTER/SS_RIGHT
    bool Horizontal() const { return (style & style::kUpDownHorz) != 0; }
    bool LeftText() const { return (style & style::kButtonLeftText) != 0; }
};

struct DialogTemplate {
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::string fontName;        // e.g. "MS Shell Dlg"
    int fontPointSize = 8;
    std::vector<ControlTemplate> controls;  // in template order

    const ControlTemplate* Find(int controlId) const;
};

}  // namespace platform
