#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// The program's pictures: the moon on the tray item, and its icon in the About box.
namespace ProgramIcon
{

/// The moon in the theme's text colour; made anew after a theme change to follow it.
QIcon moon();
/// The moon in `colour`.
QIcon moon(const QColor& colour);
/// The installed symbolic moon's icon name, which tray hosts draw in their own colour.
QString symbolicName();
/// The icon folder (holding hicolor/) that has the symbolic moon beside the program: the
/// installed share/icons, or the build's; empty when there is none there.
QString themePath();
/// The program's icon: the icon theme's, as the desktop shows it, else the one built in.
QIcon application();

} // namespace ProgramIcon
