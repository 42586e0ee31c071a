// Start-up sequence and main loop.
#pragma once
#include "platform/gui.h"
#include "base/settings.h"

// Decides where the parameter file lies from the working directory: only
// the exact text "c:\K2K\Varnoth" selects the data directory.
void DecideParameterPath(AppSettings& settings);

// Handed to GuiInit: losing the display ends the program with its own code.
void OnDisplayLost();

// Runs start-up and the message loop; returns the process's exit code.
int RunProgram(platform::AppInstance instance);
