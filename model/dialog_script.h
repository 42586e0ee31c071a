// Reads the dialog templates from a resource script of DIALOGEX templates,
// the same file a Windows resource compiler takes.
#pragma once
#include <string>
#include <vector>

#include "platform/dialog_template.h"

namespace model {

// Parses every DIALOGEX template of the script; preprocessor lines, comments
// and other resources (the manifest, LANGUAGE) are skipped. false with a
// message naming the line on a syntax error.
bool ParseDialogScript(const char* script, std::vector<platform::DialogTemplate>* out, std::string* error);

}  // namespace model

namespace model {

// The template with `id` among `templates`, or nullptr.
const platform::DialogTemplate* FindTemplate(const std::vector<platform::DialogTemplate>& templates, int id);

}  // namespace model
