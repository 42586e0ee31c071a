// The set-up page's worker, wired to the board host, the windows and the
// parameter file, on a thread of `threads`.
#pragma once
#include "app/setup_worker.h"

class ThreadOwner;
namespace boards {
class BoardHost;
}

// `desk`, `host` and what `file` names outlive the thread.
void StartSetupWorker(ThreadOwner& threads, model::SetupDesk& desk, boards::BoardHost& host,
                      const SetupFile& file);
