// The words of the resource-script language that the dialog template reader
// knows: style names and their values, the control statements with their
// classes and default styles, the window classes, and the load and memory
// options. model/ only.
#pragma once
#include <cstdint>
#include <string_view>

namespace model::rc {

constexpr std::uint32_t kDefaultDialogStyle = 0x80000000 | 0x00800000 | 0x00080000;  // POPUP|BORDER|SYSMENU
constexpr std::uint32_t kCaptionStyle = 0x00C00000;

// A control statement other than CONTROL: its class and default style.
struct Statement {
    const char* keyword;
    const char* windowClass;
    std::uint32_t style;
};

// The value of a name a script may use in style expressions; false when
// the name is not one.
bool LookupName(std::string_view name, std::uint32_t* value);
// The statement `keyword` names; nullptr for CONTROL and unknown words.
const Statement* FindStatement(std::string_view keyword);
// The class as this program spells it, whatever the script's case; nullptr
// when unsupported.
const char* KnownClass(std::string_view name);
// Load and memory options that may stand between a resource's id and body.
bool IsMemoryOption(std::string_view name);

}  // namespace model::rc
