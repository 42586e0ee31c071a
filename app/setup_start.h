// The set-up page's worker, wired to the board host, the windows and the
// parameter file, on a thread of `threads`.
#pragma once
#include "app/setup_worker.h"
#include "platform/gui_post.h"

class ThreadOwner;
namespace boards {
class BoardHost;
}

// `desk`, `host` and what `file` names outlive the thread; `started` is the
// mapping the boards started with; `gui` asks the windows where they are.
void StartSetupWorker(ThreadOwner& threads, model::SetupDesk& desk, boards::BoardHost& host,
                      const SetupFile& file, const std::vector<boards::BoardMap>& started, platform::GuiPoster gui);
