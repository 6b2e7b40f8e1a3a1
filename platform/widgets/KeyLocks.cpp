#include "platform/widgets/KeyLocks.h"

#include "resources/ResourceIds.h"

#include <QGuiApplication>

#if KIVO_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace kivo {

bool KeyLockOn(int indicatorId)
{
#if KIVO_HAVE_X11
    const char *name = nullptr;
    switch (indicatorId) {
    case res::ID_INDICATOR_KANA:
        name = "Kana";
        break;
    case res::ID_INDICATOR_CAPS:
        name = "Caps Lock";
        break;
    case res::ID_INDICATOR_NUM:
        name = "Num Lock";
        break;
    case res::ID_INDICATOR_SCRL:
        name = "Scroll Lock";
        break;
    default:
        return false;
    }
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
#else
    (void)indicatorId;
    return false;
#endif
}

bool EscapeKeyDown()
{
#if KIVO_HAVE_X11
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const KeyCode escape = XKeysymToKeycode(display, XK_Escape);
    char keys[32] = {};
    if (escape == 0 || !XQueryKeymap(display, keys))
        return false;
    return (static_cast<unsigned char>(keys[escape / 8]) >> (escape % 8)) & 1;
#else
    return false;
#endif
}

} // namespace kivo
