// Serves the panels to browsers when the parameter file asks for it.
#pragma once

class ThreadOwner;
namespace model {
class PanelModel;
}

// After the windows exist: starts the browser host on the link's address
// and the `web` port (its thread through `threads`), or says why it cannot.
// Does nothing without `web`.
void StartWebPanels(ThreadOwner& threads, model::PanelModel& model);
