#include "app/startup.h"

#include "app/cockpit.h"
#include "base/fatal.h"
#include "platform/window.h"

namespace {

// Losing the X display is a stop of its own: the panels cannot go on, and
// the toolkit's own exit (code 1) is taken by an oversize datagram.
constexpr int kDisplayLost = 6060;

}  // namespace

void OnDisplayLost() { FatalStop(kDisplayLost, "Display connection lost\n"); }

int RunProgram(platform::AppInstance instance) {
    CockpitHost host;
    host.instance = instance;
    host.gui = platform::HostGuiPoster();
    host.windows = true;
    host.messageBox = platform::MessageBoxOk;
    // Never destroyed: the process ends without waiting for its threads.
    auto* cockpit = new Cockpit(std::move(host));
    cockpit->Init();
    cockpit->Start();
    return platform::GuiRunMessageLoop();
}
