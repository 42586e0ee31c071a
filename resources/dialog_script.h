// The program's resource script (panels.rc, with the ids of resource.h in
// place of its #include), compiled in as text: the five panel dialog
// templates, for platform::ParseDialogScript.
#pragma once

const char* PanelDialogScript();

// The text of resource.h alone: the control and template ids.
const char* PanelResourceHeader();
