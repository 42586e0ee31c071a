// The parameter file: whitespace-separated keyword and value pairs that
// choose the window layout, the panel positions and show flags, and the FMC
// diagnostics. Read once during start-up, before any other thread exists.
#pragma once
#include "platform/gui.h"
#include "platform/window.h"

#include <cstdio>
#include <string>

// Longest token kept; a longer one is cut here and its rest read as the
// next token.
constexpr int kParameterTokenMax = 199;
// Longest remainder of a line that a comment discards.
constexpr int kParameterCommentMax = 298;

// Fills Settings from the file at `path`. 0 when the file was read to its end
// or could not be opened (defaults stay); -1 after reporting a bad window
// count or an unknown keyword to the user and to the log.
int ReadParameterFile(const char* path);

// Shows `message` in a "Parameter Error" box without owner and writes it,
// with a line break, to the log; start-up then ends with exit code 10.
void ReportParameterError(const char* message);

// What the reader needs of the windows, replaceable so that the reader can
// be tested without a windowing host. The real ones are defined in
// parameter_file_hooks.cpp, which only the program links; a test program
// defines its own `parameterFileHooks` instead.
struct ParameterFileHooks {
    // Opens the Status window (at the position read so far) and returns its
    // frame, the owner of the unknown-keyword box; nullptr if it failed.
    platform::Frame* (*openStatusWindow)(platform::AppInstance instance, bool show);
    // A message box with only an OK button; returns when the user closed it.
    void (*messageBox)(platform::Frame* owner, const char* text, const char* title);
};
extern ParameterFileHooks parameterFileHooks;
