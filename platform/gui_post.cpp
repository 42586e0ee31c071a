#include "platform/gui_post.h"

namespace platform {

bool PostToGui(const GuiPoster& poster, void (*work)(void*), void* context) {
    return poster.post != nullptr && poster.post(work, context);
}

void HoldShiftForDelivery(const GuiPoster& poster, bool held) {
    if (poster.holdShift != nullptr) poster.holdShift(held);
}

}  // namespace platform
