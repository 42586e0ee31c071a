// Serves the panels to browsers when the parameter file asks for it.
#pragma once
#include <functional>

#include "platform/window.h"

class ThreadOwner;
namespace model {
class PanelModel;
class SetupDesk;
}

// After the windows exist: starts the browser host on the link's address
// and the `web` port (its thread through `threads`), or says why it cannot.
// Does nothing without `web`. With a `setup` desk the set-up page is served
// too, and the desk's published lists decide who may command. A port that
// cannot be used is said in `messageBox` (when there is one) and the log.
void StartWebPanels(ThreadOwner& threads, model::PanelModel& model, model::SetupDesk* setup,
                    const std::function<void(platform::Frame*, const char*, const char*)>& messageBox);
