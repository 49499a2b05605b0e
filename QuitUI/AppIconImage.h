#pragma once

#include "AppIcon.h"

#include <QIcon>

// Draws the icon the desktop states for an app.
namespace AppIconImage
{

// A null icon when the desktop states none, the theme lacks the name, or the pixels do not fill
// the stated size.
QIcon of(const AppIcon& icon);

} // namespace AppIconImage
