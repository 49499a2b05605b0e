#pragma once

#include <QIcon>

// The program's picture on the tray item and in the About box.
namespace ProgramIcon
{

/// The moon in the theme's text colour; made anew after a theme change to follow it.
QIcon moon();

} // namespace ProgramIcon
