#include "app/parameter_file.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/parameter_file_boards.h"
#include "app/parameter_parse.h"
#include "base/log.h"
#include "base/settings.h"
#include "boards/mapping.h"
#include "platform/file.h"

namespace {

constexpr const char* kErrorTitle = "Parameter Error";

int ReportUnknownKeyword(const std::string& keyword, const ParameterFileUi& ui) {
    // The Status window gives the box an owner; it opens where the file has
    // placed it so far.
    platform::Frame* owner = ui.openStatusWindow ? ui.openStatusWindow(Settings.appInstance, Settings.showStatus) : nullptr;
    char message[64 + kParameterTokenMax];
    std::snprintf(message, sizeof message, "Unknown symbol in parameter file: %s\n", keyword.c_str());
    std::fputs(CollapsePercents(message).c_str(), stdout);
    std::fflush(stdout);
    if (ui.messageBox) ui.messageBox(owner, message, kErrorTitle);
    WriteLog(message);
    return -1;
}

}  // namespace

void ReportParameterError(const char* message, const ParameterFileUi& ui) {
    if (ui.messageBox) ui.messageBox(nullptr, message, kErrorTitle);
    std::string line = message;
    line += "\n";
    WriteLog(line.c_str());
}

int ReadParameterFile(const char* path, const ParameterFileUi& ui, std::vector<boards::BoardMap>* boards) {
    // Anything but a regular file counts as unreadable: a FIFO would block
    // start-up before any window is open.
    std::string text;
    if (!platform::ReadRegularFile(path, &text)) return 0;
    ParsedParameters parsed;
    parsed.settings = Settings;
    parsed.boards = *boards;
    ParameterProblem problem;
    const bool ok = ParseParameterText(text, ui.catalog, &parsed, &problem);
    // What was read up to a fault stays in effect, as it always has: the
    // Status window for the unknown-keyword box opens where the file put it.
    Settings = parsed.settings;
    *boards = std::move(parsed.boards);
    if (ok) return 0;
    if (problem.unknownKeyword)
        return ReportUnknownKeyword(problem.message.substr(problem.message.rfind(' ') + 1), ui);
    ReportParameterError(problem.message.c_str(), ui);
    return -1;
}
