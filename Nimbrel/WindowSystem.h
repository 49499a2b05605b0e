#pragma once

// What the windowing system lets the program do with its own windows.
namespace WindowSystem
{

/// True where the program places its windows and grabs the keyboard and pointer itself (X11);
/// false on Wayland, where the compositor alone places windows and nothing may be grabbed.
bool letsProgramPlaceAndGrab();

} // namespace WindowSystem
