#pragma once

#include <QString>

#include <sys/types.h>

// What one window of an app says about who the app is: the names a desktop entry is found by.
struct AppIdentity {
    pid_t pid = 0;         // the process that drew it; 0 when none is verified
    QString wmInstance;    // WM_CLASS, first part
    QString wmClass;       // WM_CLASS, second part
    QString applicationId; // the toolkit's id for the app (GTK's application id)
    QString kdeDesktopFile;

    friend bool operator==(const AppIdentity&, const AppIdentity&) = default;
};
