#pragma once

#include "InUseApps.h"
#include "KnownFootprints.h"
#include "PanelModelKeeper.h"
#include "PopoverWindow.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

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
class StatusNotifierItem;
class TrayHosts;
class Workspace;

/// The tray item, its menu and the panel it opens. The item goes to a StatusNotifierItem host
/// where the desktop has one, else to an XEmbed tray, and waits for either when there is none
/// yet. Main thread only.
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

    /// Puts the item in the tray, now or once a tray appears.
    void show();
    /// The XEmbed tray item was clicked: the menu on a right or Ctrl click, else the panel
    /// toggles.
    void clicked(QSystemTrayIcon::ActivationReason reason);
    /// Opens the panel, by the tray item when the tray tells where that is: afresh, or with the
    /// quit or the result it showed when it closed.
    void showPanel();
    void closePanel();
    /// The panel now shown; null when it is closed.
    PopoverWindow* panel() const { return popover; }
    /// A new window showing the panel over `model`, not yet on screen.
    std::unique_ptr<QQuickView> panelView(QuitModel& model);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void togglePanel();
    void showMenu(QPoint position);
    // Moves the item to the host the desktop offers now.
    void followHosts();
    void showStatusNotifierItem();
    void showXEmbedIcon();
    // Draws the XEmbed moon light or dark, as the tray asks or its bar needs.
    void matchXEmbedTray();

    MenuTarget& menus;
    QObject* shell;
    ShellEngine& engine;
    Workspace& workspace;
    const ProcessInfo& processes;
    SettingsStore& store;
    InUseApps inUseApps;
    // What each opening's exact pass read, so the next opening shows those figures at once.
    std::shared_ptr<KnownFootprints> knownFootprints = std::make_shared<KnownFootprints>();
    PanelModelKeeper panelModels;
    std::unique_ptr<QMenu> exportedMenu; // the menu StatusNotifierItem hosts show themselves
    std::unique_ptr<TrayHosts> hosts;
    std::unique_ptr<StatusNotifierItem> item;
    std::unique_ptr<QSystemTrayIcon> xembedIcon;
    QColor xembedMoon;
    QTimer xembedRepainted; // gathers the repaints of the XEmbed icon into one look at the bar
    bool toldNoTray = false;
    std::unique_ptr<LayerShell> layerShell; // only on Wayland; the panel's place where it exists
    QPointer<PopoverWindow> popover;
};
