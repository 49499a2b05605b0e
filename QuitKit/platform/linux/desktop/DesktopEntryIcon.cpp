#include "DesktopEntryIcon.h"

#include "DesktopEntries.h"

#include <QFileInfo>

AppIcon DesktopEntryIcon::of(const QString& entryFilename)
{
    const std::optional<DesktopEntry> entry = DesktopEntries::byFilename(entryFilename);
    if (!entry || entry->icon.isEmpty())
        return {};
    // Anyone may write a desktop file: its icon is read only from a regular file, as a FIFO or
    // a device would block or flood the reader, and a theme name never walks out of the theme.
    const QFileInfo file(entry->icon);
    if (file.isAbsolute())
        return file.isFile() ? AppIcon::inFile(entry->icon) : AppIcon();
    if (entry->icon.contains(QLatin1Char('/')))
        return {};
    return AppIcon::named(entry->icon);
}
