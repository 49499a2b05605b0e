#include "TrayController.h"

#include "AppInfo.h"
#include "LayerShell.h"
#include "NimbrelMenu.h"
#include "PanelView.h"
#include "PopoverPlacement.h"
#include "PopoverWindow.h"
#include "ProgramIcon.h"
#include "QuitModel.h"
#include "ShellEngine.h"
#include "Theme.h"
#include "WindowSystem.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QQuickView>
#include <QScreen>

TrayController::TrayController(MenuTarget& menus_, QObject* shell_, ShellEngine& engine_,
                               Workspace& workspace_, const ProcessInfo& processes_,
                               MediaCapture& capture, SettingsStore& store_, QObject* parent)
    : QObject(parent), menus(menus_), shell(shell_), engine(engine_), workspace(workspace_),
      processes(processes_), store(store_), inUseApps(capture, processes_)
{
}

TrayController::~TrayController()
{
    delete popover;
}

void TrayController::show()
{
    trayIcon = std::make_unique<QSystemTrayIcon>(ProgramIcon::moon());
    trayIcon->setToolTip(QStringLiteral("Nimbrel"));
    // The moon follows the desktop between light and dark.
    connect(Theme::instance(), &Theme::changed, trayIcon.get(),
            [this] { trayIcon->setIcon(ProgramIcon::moon()); });
    connect(trayIcon.get(), &QSystemTrayIcon::activated, this, &TrayController::clicked);
    // No menu of ours can open at the pointer on Wayland: the tray host shows this one itself.
    if (!WindowSystem::letsProgramPlaceAndGrab()) {
        exportedMenu.reset(NimbrelMenu::statusMenu(menus));
        trayIcon->setContextMenu(exportedMenu.get());
        layerShell = LayerShell::ofApplication();
    }
    trayIcon->show();
}

void TrayController::clicked(QSystemTrayIcon::ActivationReason reason)
{
    const bool menuClick =
        reason == QSystemTrayIcon::Context ||
        (reason == QSystemTrayIcon::Trigger &&
         QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier));
    if (menuClick && !exportedMenu)
        return showMenu();
    if (reason != QSystemTrayIcon::Trigger)
        return;
    if (popover && popover->isVisible())
        popover->close();
    else
        showPanel();
}

void TrayController::showMenu()
{
    // Built afresh and dropped once closed: the tray item keeps no menu.
    QMenu* menu = NimbrelMenu::statusMenu(menus);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
}

void TrayController::showPanel()
{
    delete popover;
    auto* window = new PopoverWindow(&engine.get(), layerShell.get());
    auto* model = new QuitModel(workspace, processes, store, window);
    model->setNeverOffered({AppInfo::identifier()});
    model->setInUse([this, model] { return inUseApps.among(model->apps()); });
    PanelView::load(*window, *model, shell);
    const QRect tray = trayIcon ? trayIcon->geometry() : QRect();
    const QPoint pointer = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(tray.isValid() ? tray.center() : pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    window->popUp(popoverGeometry(PanelView::size(),
                                  tray.isValid() ? std::optional(tray) : std::nullopt, pointer,
                                  screen->availableGeometry()));
    popover = window;
}

void TrayController::closePanel()
{
    if (popover)
        popover->close();
}

std::unique_ptr<QQuickView> TrayController::panelView(QuitModel& model)
{
    auto view = std::make_unique<QQuickView>(&engine.get(), nullptr);
    PanelView::load(*view, model, shell);
    return view;
}
