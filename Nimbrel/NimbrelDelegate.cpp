#include "NimbrelDelegate.h"

#include "AppInfo.h"
#include "LayerShell.h"
#include "LoginItem.h"
#include "LoginOnce.h"
#include "NimbrelChecks.h"
#include "NimbrelMenu.h"
#include "NimbrelWindow.h"
#include "PanelView.h"
#include "PopoverPlacement.h"
#include "PopoverWindow.h"
#include "QuitModel.h"
#include "SampleApps.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "SymbolIcon.h"
#include "Theme.h"
#include "Updater.h"
#include "Views.h"
#include "WindowSystem.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QQmlEngine>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace
{

const QSize settingsSize{420, 220};
const QSize tutorialSize{460, 600};

QUrl shellComponent(const QString& name)
{
    return QUrl(QStringLiteral("qrc:/qt/qml/Nimbrel/Shell/%1.qml").arg(name));
}

// The tutorial keeps its ticks and preset apart from the user's own.
SettingsStore& tutorialDefaults()
{
    static SettingsStore store =
        SettingsStore::suiteOrStandard(QStringLiteral("dev.corvane.Nimbrel.tutorial"));
    return store;
}

// The build's information by key, as the update check asks for it.
QVariant buildInformation(const QString& key)
{
    if (key == FirstCheck::infoKey())
        return AppInfo::countsFirstCheck();
    return {};
}

QIcon moonIcon()
{
    return SymbolIcon::icon(QStringLiteral("moon.zzz.fill"), Theme::instance()->primaryText());
}

} // namespace

NimbrelDelegate::NimbrelDelegate(Workspace& workspace, const ProcessInfo& processes,
                                 MediaCapture& capture, QObject* parent)
    : QObject(parent), workspace(workspace), processes(processes), inUseApps(capture, processes),
      updaterDelegate(buildInformation)
{
}

NimbrelDelegate::~NimbrelDelegate()
{
    delete panel;
    delete programWindow;
}

SettingsStore& NimbrelDelegate::defaults()
{
    static SettingsStore store = SettingsStore::program();
    return store;
}

std::optional<int> NimbrelDelegate::started(std::optional<StartupFlags::CheckRequest> check)
{
    // Linux has no menu bar of the application's own; this one is what program windows copy
    // and what the menus check reads.
    applicationMenu.reset(NimbrelMenu::build(*this));
    createStatusItem();
    createUpdater();
    if (check) {
        NimbrelChecks::start(*check, *this);
        return std::nullopt;
    }
    if (defaults().value(SettingsKeys::tutorialSeen))
        turnOnLoginOnce();
    else
        showTutorial();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qWarning("nimbrel: the desktop shows no system tray; opening the panel instead");
        showPopover();
    }
    return std::nullopt;
}

QQmlEngine& NimbrelDelegate::engine()
{
    if (!qmlEngine) {
        qmlEngine = std::make_unique<QQmlEngine>();
        Views::prepare(*qmlEngine);
    }
    return *qmlEngine;
}

void NimbrelDelegate::createStatusItem()
{
    trayIcon = std::make_unique<QSystemTrayIcon>(moonIcon());
    trayIcon->setToolTip(QStringLiteral("Nimbrel"));
    // The moon follows the desktop between light and dark.
    connect(Theme::instance(), &Theme::changed, trayIcon.get(),
            [this] { trayIcon->setIcon(moonIcon()); });
    connect(trayIcon.get(), &QSystemTrayIcon::activated, this, &NimbrelDelegate::clicked);
    // No menu of ours can open at the pointer on Wayland: the tray host shows this one itself.
    if (!WindowSystem::letsProgramPlaceAndGrab()) {
        exportedStatusMenu.reset(NimbrelMenu::statusMenu(*this));
        trayIcon->setContextMenu(exportedStatusMenu.get());
        layerShell = LayerShell::ofApplication();
    }
    trayIcon->show();
}

void NimbrelDelegate::createUpdater()
{
    Updater::Settings settings;
    settings.feedURL = AppInfo::feedURL();
    settings.currentVersion = AppInfo::version();
    updater = Updater::start(std::move(settings), updaterDelegate, updateDialogs);
}

void NimbrelDelegate::clicked(QSystemTrayIcon::ActivationReason reason)
{
    const bool menuClick =
        reason == QSystemTrayIcon::Context ||
        (reason == QSystemTrayIcon::Trigger &&
         QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier));
    if (menuClick && !exportedStatusMenu)
        return showStatusMenu();
    if (reason != QSystemTrayIcon::Trigger)
        return;
    if (panel && panel->isVisible())
        panel->close();
    else
        showPopover();
}

void NimbrelDelegate::showStatusMenu()
{
    // Built afresh and dropped once closed: the tray item keeps no menu.
    QMenu* menu = NimbrelMenu::statusMenu(*this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
}

void NimbrelDelegate::showPopover()
{
    delete panel;
    auto* window = new PopoverWindow(&engine(), layerShell.get());
    auto* model = new QuitModel(workspace, processes, defaults(), window);
    model->setNeverOffered({AppInfo::identifier()});
    model->setInUse([this, model] { return inUseApps.among(model->apps()); });
    PanelView::load(*window, *model, this);
    const QRect tray = trayIcon ? trayIcon->geometry() : QRect();
    const QPoint pointer = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(tray.isValid() ? tray.center() : pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    window->popUp(popoverGeometry(PanelView::size,
                                  tray.isValid() ? std::optional(tray) : std::nullopt, pointer,
                                  screen->availableGeometry()));
    panel = window;
}

std::unique_ptr<QQuickView> NimbrelDelegate::panelView(QuitModel& model)
{
    auto view = std::make_unique<QQuickView>(&engine(), nullptr);
    PanelView::load(*view, model, this);
    return view;
}

void NimbrelDelegate::applicationShouldHandleReopen()
{
    showPopover();
}

void NimbrelDelegate::show(const QString& title, QSize size, const QString& component,
                           const QVariantMap& properties)
{
    setActivationPolicy(ActivationPolicy::Regular);
    if (programWindow) {
        programWindow->close();
        programWindow->deleteLater();
    }
    auto* view = new QQuickView(&engine(), nullptr);
    QVariantMap initial = properties;
    initial.insert(QStringLiteral("shell"), QVariant::fromValue(this));
    view->setInitialProperties(initial);
    view->setSource(shellComponent(component));
    auto* window = new NimbrelWindow(title, size, view, NimbrelMenu::build(*this));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
    programWindow = window;
    connect(window, &NimbrelWindow::willClose, this,
            [this, window] { programWindowWillClose(window); });
}

void NimbrelDelegate::programWindowWillClose(NimbrelWindow* closing)
{
    if (!defaults().value(SettingsKeys::tutorialSeen)) {
        defaults().set(SettingsKeys::tutorialSeen, true);
        turnOnLoginOnce();
        if (programWindow && programWindow != closing && programWindow->isVisible())
            programWindow->close();
    }
    // After the current event, so a window replacing this one is up and keeps the policy.
    QTimer::singleShot(0, this, [this] {
        if (programWindows().isEmpty())
            setActivationPolicy(ActivationPolicy::Accessory);
    });
}

void NimbrelDelegate::setActivationPolicy(ActivationPolicy newPolicy)
{
    if (policy == newPolicy)
        return;
    policy = newPolicy;
    emit activationPolicyChanged();
}

void NimbrelDelegate::turnOnLoginOnce()
{
    const LoginItem loginItem(AppInfo::identifier(), QCoreApplication::applicationFilePath());
    ::turnOnLoginOnce(defaults(), AppInfo::identifier(), loginItem);
}

void NimbrelDelegate::showSettings()
{
    show(QCoreApplication::translate("Nimbrel", "Nimbrel Settings"), settingsSize,
         QStringLiteral("NimbrelSettings"));
}

void NimbrelDelegate::showTutorial()
{
    // The model belongs to the tutorial's view and goes with it.
    QuitModel* model = sampleModel(tutorialDefaults()).release();
    show(QCoreApplication::translate("Nimbrel", "Welcome to Nimbrel"), tutorialSize,
         QStringLiteral("NimbrelTutorial"),
         {{QStringLiteral("model"), QVariant::fromValue(model)}});
    model->setParent(programWindow);
}

std::unique_ptr<QuitModel> NimbrelDelegate::sampleModel(SettingsStore& store)
{
    auto model = std::make_unique<QuitModel>(workspace, processes, store);
    model->setSimulate(true);
    model->setFixedApps(SampleApps::tutorial());
    return model;
}

void NimbrelDelegate::finishTutorial()
{
    defaults().set(SettingsKeys::tutorialSeen, true);
    turnOnLoginOnce();
    if (programWindow && programWindow->isVisible())
        programWindow->close();
}

void NimbrelDelegate::showAbout()
{
    setActivationPolicy(ActivationPolicy::Regular);
    auto* about = new QMessageBox(QMessageBox::NoIcon,
                                  QCoreApplication::translate("Nimbrel", "About Nimbrel"),
                                  QStringLiteral("<b>Nimbrel</b><br>%1").arg(AppInfo::version()));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setIconPixmap(moonIcon().pixmap(64));
    const QColor secondary = Theme::instance()->secondaryText();
    about->setInformativeText(
        QStringLiteral("<span style=\"font-size: 11pt; color: %1\">%2</span>")
            .arg(secondary.name(),
                 QCoreApplication::translate(
                     "Nimbrel", "Quit every app in one click. Nothing leaves your computer.")
                     .toHtmlEscaped()));
    about->open();
}

void NimbrelDelegate::checkForUpdates()
{
    if (updater)
        return updater->checkForUpdates();
    const QUrl page(AppInfo::webPage());
    const QString address = page.host() + page.path();
    auto* alert = new QMessageBox(
        QMessageBox::Information, QStringLiteral("Nimbrel"),
        QCoreApplication::translate("Nimbrel", "Updates are checked in the version from %1.")
            .arg(address));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}

void NimbrelDelegate::openHelp()
{
    const QUrl page(AppInfo::webPage(), QUrl::StrictMode);
    if (page.isValid() && page.scheme() == QLatin1String("https") && !page.host().isEmpty())
        QDesktopServices::openUrl(page);
}

void NimbrelDelegate::hideApplication()
{
    if (panel)
        panel->close();
    if (programWindow)
        programWindow->hide();
}

void NimbrelDelegate::quitProgram()
{
    QCoreApplication::quit();
}

QList<QWidget*> NimbrelDelegate::programWindows() const
{
    if (programWindow && programWindow->isVisible())
        return {programWindow.data()};
    return {};
}
