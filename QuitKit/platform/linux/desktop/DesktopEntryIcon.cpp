#include "DesktopEntryIcon.h"

#include "DesktopEntries.h"

#include <QFileInfo>

QIcon DesktopEntryIcon::of(const QString& entryFilename)
{
    const std::optional<DesktopEntry> entry = DesktopEntries::byFilename(entryFilename);
    if (!entry || entry->icon.isEmpty())
        return {};
    if (QFileInfo(entry->icon).isAbsolute())
        return QFileInfo::exists(entry->icon) ? QIcon(entry->icon) : QIcon();
    return QIcon::fromTheme(entry->icon);
}
