#include "shell/TastiBloccati.h"

#include <QGuiApplication>

#ifdef CARTIGO_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace cartigo {

std::optional<TastiBloccati::Stato> TastiBloccati::Leggi()
{
#ifdef CARTIGO_HAVE_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    Stato s;
    Bool acceso = False;
    const Atom caps = XInternAtom(display, "Caps Lock", False);
    const Atom num = XInternAtom(display, "Num Lock", False);
    if (XkbGetNamedIndicator(display, caps, nullptr, &acceso, nullptr, nullptr))
        s.maiuscole = acceso;
    acceso = False;
    if (XkbGetNamedIndicator(display, num, nullptr, &acceso, nullptr, nullptr))
        s.numeri = acceso;
    return s;
#else
    return std::nullopt;
#endif
}

}  // namespace cartigo
