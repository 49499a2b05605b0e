#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <sys/types.h>

// What one managed top-level window tells about the app behind it.
struct X11Window {
    std::uint32_t id = 0;
    pid_t pid = 0;        // 0 when neither the server nor the window names its client's process
    bool taskbar = false; // shown as its own taskbar entry
    QString wmInstance;   // WM_CLASS, first part
    QString wmClass;      // WM_CLASS, second part
    QString gtkApplicationId;
    QString kdeDesktopFile;
    QString gtkBusName;    // GApplication's unique bus name
    QString gtkObjectPath; // where GApplication exports its actions
};
