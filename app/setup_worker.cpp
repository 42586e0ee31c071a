#include "app/setup_worker.h"

#include "base/log.h"
#include "platform/file.h"

namespace {

using Kind = model::SetupRequest::Kind;

std::string FileName(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void Log(const model::SetupRequest& request, const std::string& what) {
    WriteLog(Escaped("Set-up from " + request.from + ": " + what + "\n").c_str());
}

void PublishOutcome(model::SetupDesk& desk, const model::SetupRequest& request, const SaveOutcome& o,
                    const std::string& okMessage) {
    if (o.saved) {
        desk.Publish([&](model::SetupSnapshot& s) {
            s.file = o.file;
            s.control = WebControlRanges(o.parsed.settings);
            s.setup = WebSetupRanges(o.parsed.settings);
        });
    }
    desk.Answer(model::OutcomeView{request.id, o.saved, o.saved ? okMessage : o.message, o.line, o.diskText,
                                   o.contextFrom, o.context});
}

void Saved(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
           const model::SetupRequest& request, const SaveOutcome& o, const char* what) {
    const std::string name = FileName(file.path);
    std::string done;
    if (o.saved) {
        done = "saved " + name + " (" + what + std::to_string(o.linesChanged) +
               (o.linesChanged == 1 ? " line changed)" : " lines changed)");
        Log(request, done);
        // The new mapping takes effect at once.
        if (hooks.applyBoards) hooks.applyBoards(o.parsed.boards);
    } else {
        Log(request, name + " not saved: " + o.message +
                         (o.line > 0 ? " (line " + std::to_string(o.line) + ")" : std::string()));
        if (o.changedOnDisk) {
            const model::FileView now = ReadFileView(file.path, file.catalog);
            desk.Publish([&](model::SetupSnapshot& s) { s.file = now; });
        }
    }
    PublishOutcome(desk, request, o, done);
}

void SaveLayout(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
                const model::SetupRequest& request) {
    WindowLayout layout;
    std::string why = "The window positions could not be had";
    if (!hooks.windowLayout || !hooks.windowLayout(&layout, &why)) {
        SaveOutcome refused;
        refused.message = why;
        PublishOutcome(desk, request, refused, "");
        return;
    }
    const model::FileView now = ReadFileView(file.path, file.catalog);
    Saved(desk, file, hooks, request,
          SaveParameterEdits(file.path, file.catalog, file.base, now.revision,
                             WindowLayoutEdits(now.text, file.catalog, layout)),
          "window layout, ");
}

// The file now and what it reads as (no entries when it does not read).
ParsedParameters ReadParameters(const SetupFile& file, std::string* text, bool* read = nullptr) {
    if (!platform::ReadRegularFile(file.path.c_str(), text)) text->clear();
    ParsedParameters parsed;
    parsed.settings = file.base;
    ParameterProblem problem;
    const bool ok = ParseParameterText(*text, file.catalog, &parsed, &problem);
    if (!ok) parsed.entries.clear();
    if (read != nullptr) *read = ok;
    return parsed;
}

}  // namespace

void HandleSetupRequest(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
                        const model::SetupRequest& request) {
    std::string text;
    switch (request.kind) {
    case Kind::ReloadFile: {
        // The file is where the grants are kept: one edited by hand takes
        // effect with the reload, when it reads.
        bool read = false;
        const ParsedParameters parsed = ReadParameters(file, &text, &read);
        const model::FileView now = FileViewOf(file.path, text, parsed);
        desk.Publish([&](model::SetupSnapshot& s) {
            s.file = now;
            if (read) {
                s.control = WebControlRanges(parsed.settings);
                s.setup = WebSetupRanges(parsed.settings);
            }
        });
        desk.Answer(model::OutcomeView{request.id, true, "read " + FileName(file.path) + " again", 0, "", 0, {}});
        return;
    }
    case Kind::SaveChanges:
        Saved(desk, file, hooks, request,
              SaveFileChanges(file.path, file.catalog, file.base, request.revision, request.changes), "");
        return;
    case Kind::SaveWindowLayout:
        SaveLayout(desk, file, hooks, request);
        return;
    case Kind::FindBoards:
    case Kind::NameBoard:
    case Kind::StartLearn:
    case Kind::StopLearn:
    case Kind::Identify:
        if (hooks.boardRequest) hooks.boardRequest(request);
        return;
    }
}

void SeedSetupDesk(model::SetupDesk& desk, const SetupFile& file, const AppSettings& read) {
    std::string text;
    const ParsedParameters parsed = ReadParameters(file, &text);
    const model::FileView now = FileViewOf(file.path, std::move(text), parsed);
    desk.Publish([&](model::SetupSnapshot& s) {
        s.file = now;
        s.control = WebControlRanges(read);
        s.setup = WebSetupRanges(read);
    });
}

void RunSetupWorker(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
                    const std::atomic<bool>& stop) {
    // The grants are the desk's since start-up: only the file view is read here.
    const model::FileView now = ReadFileView(file.path, file.catalog);
    desk.Publish([&](model::SetupSnapshot& s) { s.file = now; });
    model::SetupRequest request;
    while (!stop.load() && desk.Take(&request)) HandleSetupRequest(desk, file, hooks, request);
}
