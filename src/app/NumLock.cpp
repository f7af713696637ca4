#include "app/NumLock.h"

#include <QGuiApplication>
#include <memory>

// X11's headers define macros (None, Bool, Status...) that clash with other code: they come
// last and only here.
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace qlm {

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

}  // namespace

void HoldNumLockOn() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    static std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        return;
    }
    const unsigned mask = XkbKeysymToModifiers(display.get(), XK_Num_Lock);
    if (mask == 0) {
        return;
    }
    XkbStateRec state;
    if (XkbGetState(display.get(), XkbUseCoreKbd, &state) == Success &&
        (state.locked_mods & mask) == mask) {
        return;
    }
    XkbLockModifiers(display.get(), XkbUseCoreKbd, mask, mask);
    XFlush(display.get());
}

}  // namespace qlm
