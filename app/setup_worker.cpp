#include "app/setup_worker.h"

#include "base/log.h"

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
    desk.Answer(model::OutcomeView{request.id, o.saved, o.saved ? okMessage : o.message, o.line, o.diskText});
}

void Save(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
          const model::SetupRequest& request, const std::string& revision, const std::vector<model::LineEdit>& edits,
          const char* what) {
    const SaveOutcome o = SaveParameterEdits(file.path, file.catalog, file.base, revision, edits);
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
            const model::FileView now = ReadFileView(file.path);
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
    const model::FileView now = ReadFileView(file.path);
    Save(desk, file, hooks, request, now.revision, WindowLayoutEdits(now.text, file.catalog, layout),
         "window layout, ");
}

}  // namespace

void HandleSetupRequest(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
                        const model::SetupRequest& request) {
    switch (request.kind) {
    case Kind::ReloadFile: {
        const model::FileView now = ReadFileView(file.path);
        desk.Publish([&](model::SetupSnapshot& s) { s.file = now; });
        desk.Answer(model::OutcomeView{request.id, true, "read " + FileName(file.path) + " again", 0, ""});
        return;
    }
    case Kind::SaveEdits:
        Save(desk, file, hooks, request, request.revision, request.edits, "");
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

void RunSetupWorker(model::SetupDesk& desk, const SetupFile& file, const SetupHooks& hooks,
                    const std::atomic<bool>& stop) {
    const model::FileView now = ReadFileView(file.path);
    ParsedParameters parsed;
    parsed.settings = file.base;
    ParameterProblem ignored;
    const bool read = ParseParameterText(now.text, file.catalog, &parsed, &ignored);
    desk.Publish([&](model::SetupSnapshot& s) {
        s.file = now;
        if (read) {
            s.control = WebControlRanges(parsed.settings);
            s.setup = WebSetupRanges(parsed.settings);
        }
    });
    model::SetupRequest request;
    while (!stop.load() && desk.Take(&request)) HandleSetupRequest(desk, file, hooks, request);
}
