#include "InstalledEntries.h"

#include "DesktopEntries.h"

#include <QFile>

bool InstalledEntries::Stamp::operator==(const Stamp& other) const
{
    return filename == other.filename && device == other.device && inode == other.inode &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec &&
           size == other.size;
}

const QList<DesktopEntry>& InstalledEntries::entries()
{
    const QList<DesktopEntries::Location> locations = DesktopEntries::locations();
    QList<Stamp> now;
    now.reserve(locations.size());
    for (const DesktopEntries::Location& location : locations) {
        struct stat file {
        };
        // stat, not lstat: an entry linked from elsewhere changes with the file it names.
        if (stat(QFile::encodeName(location.filename).constData(), &file) == 0)
            now.append({location.filename, file.st_dev, file.st_ino, file.st_ctim, file.st_size});
    }
    if (!isRead || now != stamps) {
        read = DesktopEntries::at(locations);
        stamps = std::move(now);
        isRead = true;
    }
    return read;
}
