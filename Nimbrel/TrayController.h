#pragma once

#include "InUseApps.h"
#include "PanelModelKeeper.h"
#include "PopoverWindow.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>

class LayerShell;
class MediaCapture;
class MenuTarget;
class ProcessInfo;
class QMenu;
class QQuickView;
class QuitModel;
class SettingsStore;
class ShellEngine;
class Workspace;

/// The tray item, its menu and the panel it opens. Main thread only.
class TrayController : public QObject
{
    Q_OBJECT

public:
    /// The panel lists the apps of `workspace` and `processes`, keeps those `capture` finds on a
    /// call under "Before a Call" and its ticks in `store`; its settings button calls `shell`.
    /// The menu's items call `menus`. All must outlive it.
    TrayController(MenuTarget& menus, QObject* shell, ShellEngine& engine, Workspace& workspace,
                   const ProcessInfo& processes, MediaCapture& capture, SettingsStore& store,
                   QObject* parent = nullptr);
    ~TrayController() override;

    /// Puts the item in the tray.
    void show();
    /// The tray item was clicked: the menu on a right or Ctrl click, else the panel toggles. On
    /// Wayland the tray host shows the menu itself, and a Ctrl click toggles the panel.
    void clicked(QSystemTrayIcon::ActivationReason reason);
    /// Opens the panel, by the tray item when the tray tells where that is: afresh, or with the
    /// quit or the result it showed when it closed.
    void showPanel();
    void closePanel();
    /// The panel now shown; null when it is closed.
    PopoverWindow* panel() const { return popover; }
    /// A new window showing the panel over `model`, not yet on screen.
    std::unique_ptr<QQuickView> panelView(QuitModel& model);

private:
    void showMenu();

    MenuTarget& menus;
    QObject* shell;
    ShellEngine& engine;
    Workspace& workspace;
    const ProcessInfo& processes;
    SettingsStore& store;
    InUseApps inUseApps;
    PanelModelKeeper panelModels;
    std::unique_ptr<QMenu> exportedMenu; // only on Wayland, where the tray host shows it
    std::unique_ptr<QSystemTrayIcon> trayIcon;
    std::unique_ptr<LayerShell> layerShell; // only on Wayland; the panel's place where it exists
    QPointer<PopoverWindow> popover;
};
