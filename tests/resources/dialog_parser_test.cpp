// The resource-script parser on its own: the rc defaults and tolerances it
// promises, and malformed or truncated scripts, which must fail with a line
// number and never read past the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/dialog_script.h"
#include "platform/dialog_template.h"
#include "resources/dialog_script.h"

namespace {

namespace st = platform::style;
using platform::ControlKind;
using platform::DialogTemplate;
using model::ParseDialogScript;

const char kTolerant[] =
    "// header comment\n"
    "#include <windows.h>\n"
    "#define LONG_MACRO 1 | \\\n"
    "    2\n"
    "#define IDC_TEN 10\n"
    "#define IDC_LABEL (-1)\n"
    "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
    "1 RT_MANIFEST \"app.manifest\"\n"
    "STRINGTABLE\nBEGIN\n  1 \"one\"\nEND\n"
    "/* a block comment\n   over two lines */\n"
    "  200   DIALOGEX   0 ,0, 0x64,  50\n"
    "STYLE DS_SETFONT | DS_FIXEDSYS |\n"
    "      DS_CONTROL | \\\n"
    "      WS_CHILD\n"
    "FONT 9, \"Tahoma\", 400, 0, 0x1\n"
    "BEGIN\n"
    "    LTEXT \"Say \"\"hi\"\"\",IDC_LABEL,1,2,3,4\n"
    "    RTEXT \"\",IDC_TEN,5,6,7,8,SS_NOTIFY | WS_BORDER   // trailing comment\n"
    "    CTEXT \"\",11,5,6,7,8,NOT WS_GROUP | SS_SUNKEN\n"
    "    LTEXT \"\",12,5,6,7,8,0,WS_EX_STATICEDGE\n"
    "    CONTROL \"Box\",13,\"Button\",BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP,1,2,3,4\n"
    "    CONTROL \"\",14,\"msctls_updown32\",0x40 |\n"
    "            UDS_ARROWKEYS | NOT WS_VISIBLE,1,2,3,4\n"
    "    GROUPBOX \"Group\",-1,1,2,3,4\n"
    "    PUSHBUTTON \"+\",15,1,2,3,4,BS_VCENTER\n"
    "    CONTROL \"\",16,\"static\",SS_RIGHT,1,2,3,4\n"
    "END\n";

TEST(DialogParser, RcDefaultsAndTolerances) {
    std::vector<DialogTemplate> out;
    std::string error;
    ASSERT_TRUE(ParseDialogScript(kTolerant, &out, &error)) << error;
    ASSERT_EQ(out.size(), 1u);
    const DialogTemplate& d = out[0];
    EXPECT_EQ(d.id, 200);
    EXPECT_EQ(d.width, 100);
    EXPECT_EQ(d.height, 50);
    EXPECT_EQ(d.style, st::kDialogShellFont | st::kDialogControl | st::kChild);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.fontName, "Tahoma");
    EXPECT_EQ(d.fontPointSize, 9);

    const std::uint32_t cv = st::kChild | st::kVisible;
    struct Expect {
        int id;
        ControlKind kind;
        const char* text;
        const char* cls;
        std::uint32_t style, exStyle;
    };
    const Expect expected[] = {
        {-1, ControlKind::Label, "Say \"hi\"", "Static", cv | st::kGroup | st::kStaticLeft, 0},
        {10, ControlKind::ValueField, "", "Static",
         cv | st::kGroup | st::kStaticRight | st::kStaticNotify | st::kBorder, 0},
        {11, ControlKind::ValueField, "", "Static", cv | st::kStaticCenter | st::kStaticSunken, 0},
        {12, ControlKind::ValueField, "", "Static", cv | st::kGroup, st::kExStaticEdge},
        {13, ControlKind::CheckBox, "Box", "Button",
         cv | st::kButtonAutoCheck | st::kButtonLeftText | st::kTabStop, 0},
        {14, ControlKind::UpDown, "", "msctls_updown32", st::kChild | st::kUpDownHorz | st::kUpDownArrowKeys, 0},
        {-1, ControlKind::GroupBox, "Group", "Button", cv | st::kButtonGroupBox, 0},
        {15, ControlKind::PushButton, "+", "Button", cv | st::kTabStop | st::kButtonVCenter, 0},
        {16, ControlKind::ValueField, "", "Static", cv | st::kStaticRight, 0},
    };
    ASSERT_EQ(d.controls.size(), std::size(expected));
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        SCOPED_TRACE(i);
        const platform::ControlTemplate& c = d.controls[i];
        EXPECT_EQ(c.id, expected[i].id);
        EXPECT_EQ(c.kind, expected[i].kind);
        EXPECT_EQ(c.text, expected[i].text);
        EXPECT_EQ(c.windowClass, expected[i].cls);
        EXPECT_EQ(c.style, expected[i].style);
        EXPECT_EQ(c.exStyle, expected[i].exStyle);
        EXPECT_EQ(c.x, 1 + (i >= 1 && i <= 3 ? 4 : 0));
    }
    // Bordered by WS_BORDER, SS_SUNKEN or a static edge; alignment from SS_*.
    EXPECT_TRUE(d.Find(10)->Bordered());
    EXPECT_TRUE(d.Find(11)->Bordered());
    EXPECT_TRUE(d.Find(12)->Bordered());
    EXPECT_FALSE(d.controls[0].Bordered());
    EXPECT_EQ(d.Find(10)->Align(), platform::TextAlign::Right);
    EXPECT_EQ(d.Find(11)->Align(), platform::TextAlign::Center);
    EXPECT_EQ(d.Find(12)->Align(), platform::TextAlign::Left);
    EXPECT_EQ(d.Find(99), nullptr);
}

// Scripts saved on Windows have CR LF line ends.
TEST(DialogParser, CrLfLineEnds) {
    std::string script;
    for (const char* p = kTolerant; *p != '\0'; ++p) {
        if (*p == '\n') script += '\r';
        script += *p;
    }
    std::vector<DialogTemplate> out;
    std::string error;
    ASSERT_TRUE(ParseDialogScript(script.c_str(), &out, &error)) << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].controls.size(), 9u);
    EXPECT_EQ(out[0].style, st::kDialogShellFont | st::kDialogControl | st::kChild);
    script.insert(script.rfind("END"), "BAD\r\n");
    EXPECT_FALSE(ParseDialogScript(script.c_str(), &out, &error));
    EXPECT_EQ(error, "line 31: unknown control statement 'BAD'");
}

TEST(DialogParser, ScriptsWithoutDialogs) {
    for (const char* script : {"", "   \n// nothing\n", "1 RT_MANIFEST \"a.manifest\"\n", "#include <x>"}) {
        std::vector<DialogTemplate> out(1);
        std::string error;
        EXPECT_TRUE(ParseDialogScript(script, &out, &error)) << script << ": " << error;
        EXPECT_TRUE(out.empty());
    }
    std::vector<DialogTemplate> out;
    std::string error;
    EXPECT_FALSE(ParseDialogScript(nullptr, &out, &error));
}

TEST(DialogParser, MalformedScriptsNameTheLine) {
    const std::string head = "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n";  // lines 1-2
    struct Case {
        std::string script;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {head + "LTEXT \"abc,-1,1,1,1,1\nEND\n", 3, "unterminated string"},
        {head + "LTEXT \"a\",-1,1,1,1,1\n", 4, "missing END"},
        {head + "LTEXT \"a\",-1,1,1,1,1", 3, "missing END"},
        {head + "LTEXT \"a\",-1,1,", 3, "expected a number"},
        {head + "LTEXT \"a\",-1,1,1,1,1,WS_BORDER |", 3, "expected a style value"},
        {head + "CONTROL \"\",5,", 3, "expected a window class"},
        {head + "LTEXT \"a\",-1,1,1x,1,1\nEND\n", 3, "bad number"},
        {head + "LTEXT \"a\",-1,1,0x,1,1\nEND\n", 3, "bad number"},
        {head + "LTEXT \"a\",-1,1,99999999999,1,1\nEND\n", 3, "out of range"},
        {head + "LTEXT \"a\",-1,1,70000,1,1\nEND\n", 3, "out of range"},
        {head + "LTEXT \"a\" -1,1,1,1,1\nEND\n", 3, "expected ','"},
        {head + "\n\nLTEXT \"a\",-1,1,1,1,1,WS_BORDR\nEND\n", 5, "unknown name 'WS_BORDR'"},
        {head + "EDITTEXT 5,1,1,1,1\nEND\n", 3, "unknown control statement"},
        {head + "CONTROL \"\",5,\"Edit\",0,1,1,1,1\nEND\n", 3, "unsupported window class"},
        {head + "CONTROL \"\",5,\"Button\",BS_PUSHBUTTON | 0x9,1,1,1,1\nEND\n", 3, "unsupported button style"},
        {head + "LTEXT \"a\",-1,1,1,1,1 $\nEND\n", 3, "unexpected character"},
        {head + "/* never closed\n\nEND\n", 3, "unterminated comment"},
        {"IDD_X DIALOGEX 0,0,1,1\nBEGIN\nEND\n", 1, "dialog id must be a number"},
        {"1 DIALOGEX 0,0,1,1\nCAPTION\nBEGIN\nEND\n", 3, "expected a quoted text"},
        {"1 DIALOGEX 0,0,1,1\nWHATEVER\nBEGIN\nEND\n", 2, "expected a dialog option"},
        {"1 DIALOGEX", 1, "expected a number"},
        {"1 RT_MANIFEST\n", 2, "expected BEGIN"},
        {"STRINGTABLE\nBEGIN\n1 \"x\"\n", 4, "missing END"},
        {"\n\n, 1 DIALOGEX", 3, "expected a resource id"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        std::vector<DialogTemplate> out(1);
        std::string error;
        EXPECT_FALSE(ParseDialogScript(c.script.c_str(), &out, &error));
        EXPECT_EQ(error.rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_TRUE(out.empty());
    }
}

// A fault in the real script is reported at its line, comments and
// preprocessor lines counted.
TEST(DialogParser, FaultInTheRealScriptReportsItsLine) {
    std::string script = PanelDialogScript();
    const std::string needle = "LTEXT \"Minimums\",-1,28,123";
    const std::size_t at = script.find(needle);
    ASSERT_NE(at, std::string::npos);
    script.replace(at, needle.size(), "LTEXT \"Minimums\",-1,28,12q3");
    const long line = 1 + std::count(script.begin(), script.begin() + static_cast<long>(at), '\n');
    std::vector<DialogTemplate> out;
    std::string error;
    EXPECT_FALSE(ParseDialogScript(script.c_str(), &out, &error));
    EXPECT_EQ(error, "line " + std::to_string(line) + ": bad number '12q3'");
}

// Every prefix of the real script, each in a buffer of exactly its size:
// a clean result or a line-numbered error, never a read past the end (the
// address sanitizer build checks that).
TEST(DialogParser, EveryTruncationOfTheRealScriptFailsCleanly) {
    const std::string full = PanelDialogScript();
    const long lines = 1 + std::count(full.begin(), full.end(), '\n');
    int failures = 0;
    for (std::size_t n = 0; n < full.size(); n += 3) {
        std::unique_ptr<char[]> buf(new char[n + 1]);
        std::memcpy(buf.get(), full.data(), n);
        buf[n] = '\0';
        std::vector<DialogTemplate> out;
        std::string error;
        if (ParseDialogScript(buf.get(), &out, &error)) continue;
        ++failures;
        ASSERT_EQ(error.rfind("line ", 0), 0u) << n << ": " << error;
        ASSERT_LE(std::stol(error.substr(5)), lines) << n << ": " << error;
        ASSERT_TRUE(out.empty());
    }
    EXPECT_GT(failures, 0);
}

}  // namespace
