#pragma once

#include "DesktopSession.h"

#include <QString>

// The desktop entries of the test apps, installed into a session's data home.
struct TestDesktopApps {
    QString closer;  // a game that closes when asked
    QString grabber; // closes when asked; takes the focus when started, whatever its startup id
    QString unsaved; // asks to save, stays open; matched by StartupWMClass
    QString actions; // GApplication with a quit action; matched by its application id
    QString helper;  // keeps a memory-hungry child process
    QString hidden;  // off the taskbar only
    QString iconFile;

    static TestDesktopApps install(DesktopSession& session);
};
