#pragma once

#include "FirstRun.h"
#include "MenuTarget.h"
#include "ProgramWindows.h"
#include "ShellEngine.h"
#include "StartupFlags.h"
#include "TrayController.h"
#include "UpdateChecks.h"
#include "WidgetLook.h"

#include <QObject>

#include <optional>

class MediaCapture;
class ProcessInfo;
class SettingsStore;
class Workspace;

/// The tray program: owns its tray item, program windows, first run and update check, wires
/// them together and answers the menus and the views' buttons. Main thread only.
class NimbrelProgram : public QObject, public MenuTarget
{
    Q_OBJECT

public:
    /// Uses `workspace` and `processes` to list the apps the panel offers, and `capture` to keep
    /// the apps on a call under "Before a Call".
    NimbrelProgram(Workspace& workspace, const ProcessInfo& processes, MediaCapture& capture,
                   QObject* parent = nullptr);
    ~NimbrelProgram() override;

    /// The store the shell and the panel's model use: the suite NIMBREL_DEFAULTS names when it
    /// can be opened, else the program's own. Opened once.
    static SettingsStore& defaults();

    /// Sets up the tray item, then starts `check` or, on a usual launch, greets a new user with
    /// the tutorial. Returns the exit status when the program should end at once.
    std::optional<int> started(std::optional<StartupFlags::CheckRequest> check);
    /// Another launch asked for the panel.
    void reopen();

    TrayController& tray() { return trayController; }
    ProgramWindows& windows() { return windowController; }
    FirstRun& firstRun() { return firstRunController; }
    Workspace& workspaceService() const { return workspace; }
    const ProcessInfo& processInfo() const { return processes; }

    // MenuTarget
    Q_INVOKABLE void showAbout() override;
    Q_INVOKABLE void checkForUpdates() override;
    Q_INVOKABLE void showSettings() override;
    Q_INVOKABLE void showPopover() override;
    Q_INVOKABLE void showTutorial() override;
    Q_INVOKABLE void openHelp() override;
    void hideApplication() override;
    void quitProgram() override;
    QList<QWidget*> programWindows() const override;

    /// Ends the tutorial: it has been seen, login is turned on once, its window closes.
    Q_INVOKABLE void finishTutorial();

private:
    Workspace& workspace;
    const ProcessInfo& processes;
    ShellEngine engine;    // before the views, which it must outlive
    WidgetLook widgetLook; // before the widgets, which it dresses from the start
    TrayController trayController;
    ProgramWindows windowController;
    FirstRun firstRunController;
    UpdateChecks updateChecks;
};
