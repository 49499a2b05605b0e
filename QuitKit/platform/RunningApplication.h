#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

// What the workspace reports about one running application.
struct RunningApplication {
    bool onTaskbar = true; // false for an app whose windows the taskbar leaves out
    bool hasExited = false;
    pid_t pid = 0;
    std::optional<QString> desktopId; // desktop-file ID without ".desktop"
    std::optional<QString> name;
    std::optional<QString> desktopFile; // path of the app's desktop file
    QStringList categories;             // the desktop entry's Categories, in its order

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};
