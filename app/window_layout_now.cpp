#include "app/window_layout_now.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "base/settings.h"
#include "panels/windows.h"
#include "platform/gui_post.h"
#include "platform/window.h"

namespace {

struct Ask {
    std::mutex mutex;
    std::condition_variable done;
    bool answered = false;
    bool ok = false;
    WindowLayout layout;
};

// GUI thread. The ask is shared: a caller that gave up leaves it to us.
void Answer(void* context) {
    std::unique_ptr<std::shared_ptr<Ask>> holder(static_cast<std::shared_ptr<Ask>*>(context));
    Ask& ask = **holder;
    WindowLayout layout;
    const bool ok = platform::FramePosition(statusFrame, &layout.statusX, &layout.statusY) &&
                    platform::FramePosition(autopilotFrame, &layout.autoX, &layout.autoY) &&
                    platform::FramePosition(navDispFrame, &layout.navX, &layout.navY) &&
                    platform::FramePosition(radiosFrame, &layout.radiosX, &layout.radiosY);
    {
        std::lock_guard<std::mutex> lock(ask.mutex);
        ask.ok = ok;
        ask.layout = layout;
        ask.answered = true;
    }
    ask.done.notify_all();
}

}  // namespace

bool WindowLayoutNow(const platform::GuiPoster& gui, WindowLayout* out, std::string* why) {
    if (Settings.singleWindow) {
        *why = "The one-window layout has no window positions to save (win four has)";
        return false;
    }
    auto ask = std::make_shared<Ask>();
    auto* context = new std::shared_ptr<Ask>(ask);
    if (!platform::PostToGui(gui, Answer, context)) {
        delete context;
        *why = "The windows cannot be asked where they are";
        return false;
    }
    std::unique_lock<std::mutex> lock(ask->mutex);
    if (!ask->done.wait_for(lock, std::chrono::seconds(2), [&] { return ask->answered; })) {
        *why = "The windows did not say where they are in time";
        return false;
    }
    if (!ask->ok) {
        *why = "The panel windows are not all open";
        return false;
    }
    *out = ask->layout;
    return true;
}
