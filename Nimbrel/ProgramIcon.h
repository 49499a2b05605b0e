#pragma once

#include <QIcon>

// The program's pictures: the moon on the tray item, and its icon in the About box.
namespace ProgramIcon
{

/// The moon in the theme's text colour; made anew after a theme change to follow it.
QIcon moon();
/// The program's icon: the icon theme's, as the desktop shows it, else the one built in.
QIcon application();

} // namespace ProgramIcon
