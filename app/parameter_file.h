// The parameter file: whitespace-separated keyword and value pairs that
// choose the window layout, the panel positions and show flags, and the FMC
// diagnostics. Read once during start-up, before any other thread exists.
#pragma once
#include "platform/gui.h"
#include "platform/window.h"

#include <cstdio>
#include <functional>
#include <string>

#include <vector>

#include "boards/mapping.h"

namespace model {
struct Catalog;
}

// Longest token kept; a longer one is cut here and its rest read as the
// next token.
constexpr int kParameterTokenMax = 199;
// Longest remainder of a line that a comment discards.
constexpr int kParameterCommentMax = 298;

// What the reader is handed: the panel controls the board lines may name,
// and the windows it needs for its error boxes, so that it can be tested
// without a windowing host.
struct ParameterFileUi {
    const model::Catalog* catalog = nullptr;  // nullptr: board lines name no control
    // Opens the Status window (at the position read so far) and returns its
    // frame, the owner of the unknown-keyword box; nullptr if it failed.
    std::function<platform::Frame*(platform::AppInstance instance, bool show)> openStatusWindow;
    // A message box with only an OK button; returns when the user closed it.
    std::function<void(platform::Frame* owner, const char* text, const char* title)> messageBox;
};

// Fills Settings and `boards` (the cockpit boards it names, added to those
// given) from the file at `path`. 0 when the file was read to its end or
// could not be opened (defaults stay); -1 after reporting a bad window count
// or an unknown keyword to the user and to the log.
int ReadParameterFile(const char* path, const ParameterFileUi& ui, std::vector<boards::BoardMap>* boards);

// Shows `message` in a "Parameter Error" box without owner and writes it,
// with a line break, to the log; start-up then ends with exit code 10.
void ReportParameterError(const char* message, const ParameterFileUi& ui);
