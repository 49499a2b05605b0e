#pragma once

#include <QString>
#include <QStringList>

// The parts of one installed desktop entry that say which app it stands for.
struct DesktopEntry {
    QString id;                   // desktop-file ID without ".desktop"
    QString name;                 // localized Name
    QString filename;             // where the entry lives
    QString startupWmClass;       // StartupWMClass, empty when unset
    QStringList commandLine;      // Exec split into words, field codes left out
    QString icon;                 // Icon: a theme name or a file path
    QStringList categories;       // Categories, in the entry's order
    bool shownInMenus = true;     // neither NoDisplay nor Hidden
    bool dbusActivatable = false; // DBusActivatable: the app owns its id as a bus name

    friend bool operator==(const DesktopEntry&, const DesktopEntry&) = default;
};
