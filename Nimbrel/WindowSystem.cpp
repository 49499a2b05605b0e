#include "WindowSystem.h"

#include "PopoverPlacement.h"
#include "X11Compositor.h"
#include "X11WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

namespace WindowSystem
{

bool letsProgramPlaceAndGrab()
{
    // "wayland", "wayland-egl", …: every flavour of Qt's Wayland plugin.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool drawsTranslucentWindows()
{
    if (!letsProgramPlaceAndGrab())
        return true;
    return QGuiApplication::platformName() == QLatin1String("xcb") && X11Compositor::running();
}

QRect availableGeometry(const QScreen& screen)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return screen.availableGeometry();
    return monitorFreeArea(screen.geometry(), X11WorkArea::current(screen));
}

} // namespace WindowSystem
