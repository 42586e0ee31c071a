// The dialog templates loaded for CreateDialogFromTemplate.
#pragma once
#include "platform/dialog_template.h"

namespace platform::qthost {

// The loaded template with `id`, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace platform::qthost
