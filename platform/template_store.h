// The dialog templates handed to UseDialogTemplates, kept for the windowing
// host that builds dialogs (and for whoever draws them elsewhere).
#pragma once
#include "platform/dialog_template.h"

namespace platform {

// The loaded template with `id`, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace platform
