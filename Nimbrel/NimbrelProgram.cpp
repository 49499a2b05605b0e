#include "NimbrelProgram.h"

#include "AppInfo.h"
#include "NimbrelChecks.h"
#include "SettingsStore.h"
#include "Theme.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

NimbrelProgram::NimbrelProgram(Workspace& workspace_, const ProcessInfo& processes_,
                               MediaCapture& capture, QObject* parent)
    : QObject(parent), workspace(workspace_), processes(processes_), widgetLook(*Theme::instance()),
      trayController(*this, this, engine, workspace_, processes_, capture, defaults()),
      windowController(*this, this, engine),
      firstRunController(windowController, workspace_, processes_, defaults())
{
}

NimbrelProgram::~NimbrelProgram() = default;

SettingsStore& NimbrelProgram::defaults()
{
    static SettingsStore store = SettingsStore::program();
    return store;
}

std::optional<int> NimbrelProgram::started(std::optional<StartupFlags::CheckRequest> check)
{
    trayController.show();
    updateChecks.start();
    if (check) {
        NimbrelChecks::start(*check, *this);
        return std::nullopt;
    }
    // Nothing opens by itself: without a tray the item waits for one, and launching the program
    // again opens the panel.
    firstRunController.greet();
    return std::nullopt;
}

void NimbrelProgram::reopen()
{
    showPopover();
}

void NimbrelProgram::showAbout()
{
    windowController.showAbout();
}

void NimbrelProgram::checkForUpdates()
{
    updateChecks.checkForUpdates();
}

void NimbrelProgram::showSettings()
{
    windowController.showSettings();
}

void NimbrelProgram::showPopover()
{
    trayController.showPanel();
}

void NimbrelProgram::showTutorial()
{
    firstRunController.showTutorial();
}

void NimbrelProgram::openHelp()
{
    const QUrl page(AppInfo::webPage(), QUrl::StrictMode);
    if (page.isValid() && page.scheme() == QLatin1String("https") && !page.host().isEmpty())
        QDesktopServices::openUrl(page);
}

void NimbrelProgram::hideApplication()
{
    trayController.closePanel();
    windowController.hide();
}

void NimbrelProgram::quitProgram()
{
    QCoreApplication::quit();
}

QList<QWidget*> NimbrelProgram::programWindows() const
{
    return windowController.shown();
}

void NimbrelProgram::finishTutorial()
{
    firstRunController.finishTutorial();
}
