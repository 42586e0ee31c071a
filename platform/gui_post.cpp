#include "platform/gui_post.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<GuiPoster> poster{nullptr};
bool shiftHeld = false;  // GUI thread only

}  // namespace

void SetGuiPoster(GuiPoster value) { poster.store(value); }

bool PostToGui(void (*work)(void*), void* context) {
    const GuiPoster post = poster.load();
    if (post == nullptr) return false;
    return post(work, context);
}

void SetShiftHeldForDelivery(bool held) { shiftHeld = held; }

bool ShiftHeldForDelivery() { return shiftHeld; }

}  // namespace platform
