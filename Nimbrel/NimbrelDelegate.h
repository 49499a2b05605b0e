#pragma once

#include "FirstCheckDelegate.h"
#include "InUseApps.h"
#include "MenuTarget.h"
#include "NimbrelWindow.h"
#include "PopoverWindow.h"
#include "StartupFlags.h"
#include "UpdateDialogs.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QSystemTrayIcon>
#include <QVariantMap>

#include <memory>
#include <optional>

class LayerShell;
class MediaCapture;
class ProcessInfo;
class QMenu;
class QMenuBar;
class QQmlEngine;
class QQuickView;
class QuitModel;
class SettingsStore;
class Updater;
class Workspace;

/// The tray program's controller: the tray item and its panel, the one program window (settings
/// or tutorial), the menus' actions and what happens at start-up. Main thread only.
class NimbrelDelegate : public QObject, public MenuTarget
{
    Q_OBJECT
    Q_PROPERTY(
        ActivationPolicy activationPolicy READ activationPolicy NOTIFY activationPolicyChanged)

public:
    /// Regular while a program window is up (a taskbar entry and the menu bar); accessory when
    /// only the tray item is left.
    enum class ActivationPolicy { Accessory, Regular };
    Q_ENUM(ActivationPolicy)

    /// Uses `workspace` and `processes` to list the apps the panel offers, and `capture` to keep
    /// the apps on a call under "Before a Call".
    NimbrelDelegate(Workspace& workspace, const ProcessInfo& processes, MediaCapture& capture,
                    QObject* parent = nullptr);
    ~NimbrelDelegate() override;

    /// The store the shell and the panel's model use: the suite NIMBREL_DEFAULTS names when it
    /// can be opened, else the program's own. Opened once.
    static SettingsStore& defaults();

    /// Sets up the tray item, then starts `check` or, on a usual launch, greets a new user with
    /// the tutorial. Returns the exit status when the program should end at once.
    std::optional<int> started(std::optional<StartupFlags::CheckRequest> check);

    ActivationPolicy activationPolicy() const { return policy; }
    /// The program window now or last shown; null before the first.
    NimbrelWindow* window() const { return programWindow; }
    /// The panel now shown; null when it is closed.
    PopoverWindow* popover() const { return panel; }
    /// The application's menu bar, built at start-up; program windows show copies of it.
    QMenuBar* mainMenu() const { return applicationMenu.get(); }
    Workspace& workspaceService() const { return workspace; }
    const ProcessInfo& processInfo() const { return processes; }
    /// A model that only pretends to quit, over the tutorial's made-up apps; its ticks go to
    /// `store`, which must outlive it.
    std::unique_ptr<QuitModel> sampleModel(SettingsStore& store);
    /// A new window showing the tray panel over `model`, not yet on screen.
    std::unique_ptr<QQuickView> panelView(QuitModel& model);

    /// Shows `component` of the shell's QML module in the program window, replacing what was
    /// there, with `properties` set on it.
    void show(const QString& title, QSize size, const QString& component,
              const QVariantMap& properties = {});
    /// Starts the program at login, the first time only.
    void turnOnLoginOnce();

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
    /// Another launch asked for the panel.
    void applicationShouldHandleReopen();
    /// The tray item was clicked: the menu on a right or Ctrl click, else the panel toggles. On
    /// Wayland the tray host shows the menu itself, and a Ctrl click toggles the panel.
    void clicked(QSystemTrayIcon::ActivationReason reason);

signals:
    void activationPolicyChanged();

private:
    void setActivationPolicy(ActivationPolicy policy);
    void createStatusItem();
    void createUpdater();
    void showStatusMenu();
    void programWindowWillClose(NimbrelWindow* closing);
    QQmlEngine& engine();

    Workspace& workspace;
    const ProcessInfo& processes;
    InUseApps inUseApps;
    std::unique_ptr<QQmlEngine> qmlEngine;
    std::unique_ptr<QMenu> exportedStatusMenu; // only on Wayland, where the tray host shows it
    std::unique_ptr<QSystemTrayIcon> trayIcon;
    std::unique_ptr<LayerShell> layerShell; // only on Wayland; the panel's place where it exists
    std::unique_ptr<QMenuBar> applicationMenu;
    QPointer<PopoverWindow> panel;
    QPointer<NimbrelWindow> programWindow;
    ActivationPolicy policy = ActivationPolicy::Accessory;
    FirstCheckDelegate updaterDelegate;
    UpdateDialogs updateDialogs;
    std::unique_ptr<Updater> updater; // only when the build names an update feed
};
