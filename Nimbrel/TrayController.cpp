#include "TrayController.h"

#include "AppInfo.h"
#include "LayerShell.h"
#include "MoonShade.h"
#include "NimbrelMenu.h"
#include "PanelView.h"
#include "PopoverPlacement.h"
#include "PopoverWindow.h"
#include "ProgramIcon.h"
#include "QuitModel.h"
#include "ShellEngine.h"
#include "StatusNotifierItem.h"
#include "Theme.h"
#include "TrayHosts.h"
#include "WindowSystem.h"
#include "X11SystemTray.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QQuickView>
#include <QScreen>

#include <utility>

namespace
{

// Qt's name for the window that shows a QSystemTrayIcon inside an XEmbed tray.
const QString xembedIconWindow = QStringLiteral("QSystemTrayIconSys");

} // namespace

TrayController::TrayController(MenuTarget& menus_, QObject* shell_, ShellEngine& engine_,
                               Workspace& workspace_, const ProcessInfo& processes_,
                               MediaCapture& capture, SettingsStore& store_, QObject* parent)
    : QObject(parent), menus(menus_), shell(shell_), engine(engine_), workspace(workspace_),
      processes(processes_), store(store_), inUseApps(capture, processes_), panelModels([this] {
          auto model = std::make_unique<QuitModel>(workspace, processes, store);
          model->setNeverOffered({AppInfo::identifier()});
          model->setKnownFootprints(knownFootprints);
          model->setInUse([this, apps = model.get()] { return inUseApps.among(apps->apps()); });
          return model;
      })
{
    xembedRepainted.setSingleShot(true);
    xembedRepainted.setInterval(50);
    connect(&xembedRepainted, &QTimer::timeout, this, &TrayController::matchXEmbedTray);
}

TrayController::~TrayController()
{
    delete popover;
}

void TrayController::show()
{
    exportedMenu.reset(NimbrelMenu::statusMenu(menus));
    if (!WindowSystem::letsProgramPlaceAndGrab())
        layerShell = LayerShell::ofApplication();
    hosts = std::make_unique<TrayHosts>();
    connect(hosts.get(), &TrayHosts::changed, this, &TrayController::followHosts);
    connect(hosts.get(), &TrayHosts::watcherStarted, this, [this] {
        if (item)
            item->registerWithWatcher();
    });
    // The moon follows the desktop between light and dark where no tray says otherwise.
    connect(Theme::instance(), &Theme::changed, this, [this] {
        if (item)
            item->setFallbackIcon(ProgramIcon::moon());
        if (xembedIcon)
            matchXEmbedTray();
    });
}

void TrayController::followHosts()
{
    // Until the bus answers, an XEmbed tray could still be the lesser of two hosts.
    if (!hosts->known())
        return;
    if (hosts->hasStatusNotifierHost()) {
        xembedIcon.reset();
        showStatusNotifierItem();
    } else if (hosts->hasXEmbedTray()) {
        showXEmbedIcon();
    } else {
        xembedIcon.reset();
        if (!std::exchange(toldNoTray, true))
            qWarning("nimbrel: the desktop shows no system tray; waiting for one. Launching "
                     "Nimbrel again opens its panel");
    }
}

void TrayController::showStatusNotifierItem()
{
    if (item)
        return;
    item =
        std::make_unique<StatusNotifierItem>(QStringLiteral("Nimbrel"), ProgramIcon::symbolicName(),
                                             ProgramIcon::themePath(), exportedMenu.get());
    item->setFallbackIcon(ProgramIcon::moon());
    connect(item.get(), &StatusNotifierItem::activated, this, &TrayController::togglePanel);
    connect(item.get(), &StatusNotifierItem::contextMenuRequested, this, [this](QPoint position) {
        // Hosts show the exported menu themselves; on Wayland no other menu could open.
        if (WindowSystem::letsProgramPlaceAndGrab())
            showMenu(position);
    });
    if (!item->publish()) {
        qWarning("nimbrel: the session bus refused the tray item");
        return;
    }
    item->registerWithWatcher();
}

void TrayController::showXEmbedIcon()
{
    if (xembedIcon) {
        matchXEmbedTray();
        return;
    }
    if (!xembedMoon.isValid())
        xembedMoon = Theme::instance()->primaryText();
    xembedIcon = std::make_unique<QSystemTrayIcon>(ProgramIcon::moon(xembedMoon));
    xembedIcon->setToolTip(QStringLiteral("Nimbrel"));
    connect(xembedIcon.get(), &QSystemTrayIcon::activated, this, &TrayController::clicked);
    // Qt makes the icon's window anew when the tray restarts: every repaint of one is heard.
    qApp->installEventFilter(this);
    connect(xembedIcon.get(), &QObject::destroyed, this, [this] { qApp->removeEventFilter(this); });
    xembedIcon->show();
    matchXEmbedTray();
}

bool TrayController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched->objectName() == xembedIconWindow)
        xembedRepainted.start();
    return QObject::eventFilter(watched, event);
}

void TrayController::matchXEmbedTray()
{
    X11SystemTray* tray = hosts ? hosts->xembedTray() : nullptr;
    if (!xembedIcon || !tray)
        return;
    QColor moon = xembedMoon;
    const QRect area = xembedIcon->geometry();
    if (const std::optional<QColor> foreground = tray->foreground()) {
        moon = MoonShade::forForeground(*foreground);
    } else if (area.isValid()) {
        // What shows around the moon is the bar, as the user sees it.
        QImage drawn(area.size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        xembedIcon->icon().paint(&painter, drawn.rect());
        painter.end();
        if (const std::optional<QColor> bar = tray->barColour(area, drawn))
            moon = MoonShade::onBar(*bar);
    }
    if (moon == xembedMoon)
        return;
    xembedMoon = moon;
    xembedIcon->setIcon(ProgramIcon::moon(moon));
}

void TrayController::clicked(QSystemTrayIcon::ActivationReason reason)
{
    const bool menuClick =
        reason == QSystemTrayIcon::Context ||
        (reason == QSystemTrayIcon::Trigger &&
         QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier));
    if (menuClick)
        return showMenu(QCursor::pos());
    if (reason == QSystemTrayIcon::Trigger)
        togglePanel();
}

void TrayController::togglePanel()
{
    if (popover && popover->isVisible())
        popover->close();
    else
        showPanel();
}

void TrayController::showMenu(QPoint position)
{
    // Built afresh and dropped once closed: the tray item keeps no menu.
    QMenu* menu = NimbrelMenu::statusMenu(menus);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(position);
}

void TrayController::showPanel()
{
    delete popover;
    auto* window = new PopoverWindow(&engine.get(), layerShell.get());
    QuitModel& model = panelModels.opened();
    PanelView::load(*window, model, shell, window->translucent());
    connect(&model, &QuitModel::appsStarting, window, &PopoverWindow::keepFocusWhileAppsStart);
    connect(window, &PopoverWindow::touched, &model, &QuitModel::touched);
    connect(window, &PopoverWindow::closed, this, [this, window] { panelModels.closed(*window); });
    const QRect tray = xembedIcon ? xembedIcon->geometry() : QRect();
    const QPoint pointer = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(tray.isValid() ? tray.center() : pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = WindowSystem::availableGeometry(*screen);
    const auto geometry = [tray, pointer, available](QSize size) {
        return popoverGeometry(size, tray.isValid() ? std::optional(tray) : std::nullopt, pointer,
                               available);
    };
    window->popUp(geometry(PanelView::size(*window, available.size())), tray);
    PanelView::followContent(*window, available.size(),
                             [window, geometry](QSize size) { window->fit(geometry(size)); });
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
