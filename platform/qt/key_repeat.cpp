#include "platform/qt/key_repeat.h"

#include <QGuiApplication>

#if defined(ORV_HAVE_XKBLIB) && QT_CONFIG(xcb)
// After the Qt headers: Xlib defines macros that clash with Qt names.
#include <X11/XKBlib.h>
#define ORV_DETECTABLE_REPEAT 1
#endif

namespace platform::qthost {

void UseDetectableAutoRepeat() {
#ifdef ORV_DETECTABLE_REPEAT
    static bool done = false;
    if (done || qGuiApp == nullptr) return;
    done = true;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return;  // not on X11
    // Qt's xcb connection is this display's, so the flag applies to it.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(x11->display(), True, &supported);
#endif
}

}  // namespace platform::qthost
