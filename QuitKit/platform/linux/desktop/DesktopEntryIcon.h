#pragma once

#include "AppIcon.h"

#include <QString>

// The icon a desktop entry names: a theme icon, or a file when the name is a path.
namespace DesktopEntryIcon
{

// Empty when the entry cannot be read, names no icon, or its file is missing or not a regular
// file; a theme name with a '/' in it names none.
AppIcon of(const QString& entryFilename);

} // namespace DesktopEntryIcon
