#pragma once

#include "AppIcon.h"

#include <QIcon>

// Draws the icon the desktop states for an app.
namespace AppIconImage
{

// A null icon when the desktop states none, the theme lacks the name, or the pixels do not fill
// the stated size. The same picture gives the same QIcon while the last 64 are kept, so its
// scaled pictures are drawn once. Main thread only.
QIcon of(const AppIcon& icon);

} // namespace AppIconImage
