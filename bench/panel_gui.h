// The combined window on the Qt host, as start-up opens it, with the
// variable table and its mutexes ready (no link threads): what the panel
// benchmarks drive.
#pragma once

namespace benchsupport {

// Creates the application object (offscreen unless QT_QPA_PLATFORM says
// otherwise), loads the templates, builds the variable table and opens
// "OrvSim Control". False, with a message, when any step fails.
bool OpenCombinedWindow(int& argc, char** argv, const char* logName);

}  // namespace benchsupport
