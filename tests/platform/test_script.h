// A small resource script with one control of every kind, for the host tests
// and the look demo.
#pragma once

constexpr int kTestTemplate = 101;
constexpr int kPlainTemplate = 102;
constexpr int kValueField = 1001;
constexpr int kNotifyField = 1002;
constexpr int kCheckBox = 1003;
constexpr int kUpDownVertical = 1004;
constexpr int kUpDownHorizontal = 1005;
constexpr int kUpDownHidden = 1006;
constexpr int kPushButton = 1007;
constexpr int kCentredField = 1008;

constexpr const char* kTestScript = R"rc(
#include "resource.h"
101 DIALOGEX 0, 0, 150, 90
STYLE DS_SETFONT | DS_CONTROL | WS_CHILD | WS_VISIBLE
EXSTYLE WS_EX_STATICEDGE
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    GROUPBOX        "Group",-1,3,2,144,84
    LTEXT           "Heading",-1,8,12,30,8
    RTEXT           "",1001,42,11,35,11,SS_SUNKEN
    CONTROL         "",1002,"Static",SS_NOTIFY | SS_RIGHT | WS_BORDER,42,25,35,11
    CONTROL         "Hold",1003,"Button",BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP,8,40,40,10
    CONTROL         "",1004,"msctls_updown32",UDS_ARROWKEYS,82,11,11,14
    CONTROL         "",1005,"msctls_updown32",UDS_HORZ,98,11,15,14
    CONTROL         "",1006,"msctls_updown32",UDS_ARROWKEYS | NOT WS_VISIBLE,82,30,11,14
    PUSHBUTTON      "+",1007,8,56,20,12
    CTEXT           "",1008,42,56,35,11,WS_BORDER
END

102 DIALOGEX 0, 0, 60, 30
STYLE DS_SETFONT | DS_CONTROL | WS_CHILD
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    LTEXT           "Plain",-1,4,4,40,8
END
)rc";
