#include "WindowSystem.h"

#include <QGuiApplication>

namespace WindowSystem
{

bool letsProgramPlaceAndGrab()
{
    // "wayland", "wayland-egl", …: every flavour of Qt's Wayland plugin.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace WindowSystem
