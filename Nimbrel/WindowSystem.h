#pragma once

#include <QRect>

class QScreen;

// What the windowing system lets the program do with its own windows.
namespace WindowSystem
{

/// True where the program places its windows and grabs the keyboard and pointer itself (X11);
/// false on Wayland, where the compositor alone places windows and nothing may be grabbed.
bool letsProgramPlaceAndGrab();

/// True where a window's translucent pixels show what lies behind it: always on Wayland, on X11
/// while a compositing manager runs, never off screen.
bool drawsTranslucentWindows();

/// The part of `screen` that windows may cover, without the desktop's panels. On X11 Qt knows
/// it only while there is a single screen; here it holds for each of several too.
QRect availableGeometry(const QScreen& screen);

} // namespace WindowSystem
