#pragma once

#include <QList>

class QWidget;

/// What the program's menus ask of it. Every call is made on the Qt main thread.
class MenuTarget
{
public:
    virtual ~MenuTarget() = default;

    virtual void showAbout() = 0;
    virtual void checkForUpdates() = 0;
    virtual void showSettings() = 0;
    /// Opens the tray item's panel.
    virtual void showPopover() = 0;
    virtual void showTutorial() = 0;
    virtual void openHelp() = 0;
    /// Hides the program's windows; the program keeps running in the tray.
    virtual void hideApplication() = 0;
    /// Ends the program.
    virtual void quitProgram() = 0;
    /// The program's open windows, in the order the Window menu lists them.
    virtual QList<QWidget*> programWindows() const = 0;
};
