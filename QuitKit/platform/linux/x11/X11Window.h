#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <sys/types.h>

// What one managed top-level window tells about the app behind it.
struct X11Window {
    std::uint32_t id = 0;
    std::uint32_t client = 0; // the X client that made it (its resource base)
    pid_t pid = 0;            // 0 when no process holding its client's connection is known
    bool taskbar = false;     // shown as its own taskbar entry
    QString wmInstance;       // WM_CLASS, first part
    QString wmClass;          // WM_CLASS, second part
    QString title;            // _NET_WM_NAME, else WM_NAME
    QString gtkApplicationId;
    QString kdeDesktopFile;
    QString gtkBusName;    // GApplication's unique bus name
    QString gtkObjectPath; // where GApplication exports its actions
};
