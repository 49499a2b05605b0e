#pragma once

#include "DesktopEntry.h"

#include <QList>

#include <sys/stat.h>

// Every installed desktop entry, kept between reads: a look at the folders and a stat of each
// file tells whether anything was added, removed or changed since, which costs far less than
// reading every entry again for each app that needs the whole list.
class InstalledEntries
{
public:
    const QList<DesktopEntry>& entries();

private:
    struct Stamp {
        QString filename;
        dev_t device = 0;
        ino_t inode = 0;
        timespec changed{};
        off_t size = 0;

        bool operator==(const Stamp& other) const;
    };

    QList<Stamp> stamps;
    QList<DesktopEntry> read;
    bool isRead = false;
};
