// The program's resource script (panels.rc), compiled in as text: the five
// panel dialog templates, for platform::ParseDialogScript.
#pragma once

const char* PanelDialogScript();
