#include "KWinSession.h"

#include "PlasmaWindows.h"
#include "TestFiles.h"
#include "TestProcesses.h"
#include "WaylandConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

namespace
{

// Generous: a loaded two-core machine starts KWin and Xwayland in well under this.
constexpr int startTimeout = 30000;
const QString socketName = QStringLiteral("nimbrel-kwin");

} // namespace

KWinSession::KWinSession() = default;

KWinSession::~KWinSession()
{
    clients.stopAll();
    TestProcesses::stop(kwin, 5000);
}

std::optional<QString> KWinSession::start(const QStringList& trustedPrograms)
{
    const QString installed = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
    if (installed.isEmpty())
        return QStringLiteral("kwin_wayland is not installed");
    for (const char* tool : {"Xwayland", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    if (auto problem = home.create())
        return problem;
    const QDir root(home.path());
    runtimeDir = home.makePrivateFolder(QStringLiteral("run"));
    const QString kwinCopy = root.filePath(QStringLiteral("kwin_wayland"));
    if (!QFile::copy(installed, kwinCopy))
        return QStringLiteral("cannot copy kwin_wayland");
    for (const QString& program : trustedPrograms) {
        const QString path = QFileInfo(program).canonicalFilePath();
        installDesktopEntry(
            QFileInfo(path).fileName() + QStringLiteral(".desktop"),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n"
                           "NoDisplay=true\nExec=%2\nX-KDE-Wayland-Interfaces="
                           "org_kde_plasma_window_management,org_kde_kwin_fake_input\n")
                .arg(QFileInfo(path).fileName(), path));
    }
    // KWin starts each extra argument once Xwayland is up, with DISPLAY set.
    const QString displayFile = root.filePath(QStringLiteral("x-display"));
    const QString displayScript = root.filePath(QStringLiteral("tell-display"));
    TestFiles::writeFile(displayScript,
                         QStringLiteral("#!/bin/sh\nprintenv DISPLAY > %1.new && mv %1.new %1\n")
                             .arg(displayFile)
                             .toUtf8());
    QFile::setPermissions(displayScript,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"),
                       QStringLiteral("/usr/local/share:/usr/share"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), root.filePath(QStringLiteral("cache")));

    if (auto problem = bus.start(environment))
        return problem;
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    environment.insert(QStringLiteral("KWIN_COMPOSE"), QStringLiteral("Q"));
    environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    kwin.setProcessEnvironment(environment);
    kwin.setWorkingDirectory(home.path());
    kwin.setStandardOutputFile(root.filePath(QStringLiteral("kwin.log")));
    kwin.setStandardErrorFile(root.filePath(QStringLiteral("kwin.log")), QIODevice::Append);
    kwin.start(kwinCopy, {QStringLiteral("--virtual"), QStringLiteral("--xwayland"),
                          QStringLiteral("--socket"), socketName, displayScript});
    if (!kwin.waitForStarted(startTimeout))
        return QStringLiteral("kwin_wayland did not start");
    const bool up = QTest::qWaitFor(
        [&] {
            return kwin.state() != QProcess::Running ||
                   (QFile::exists(QDir(runtimeDir).filePath(socketName)) &&
                    !TestFiles::readFile(displayFile).trimmed().isEmpty());
        },
        startTimeout);
    if (!up || kwin.state() != QProcess::Running)
        return QStringLiteral("KWin did not come up; see %1")
            .arg(root.filePath(QStringLiteral("kwin.log")));

    // Clients are this process's user, as KWin is: they share its runtime folder.
    ownEnvironment.set("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
    ownEnvironment.set("WAYLAND_DISPLAY", socketName.toLocal8Bit());
    ownEnvironment.set("DISPLAY", TestFiles::readFile(displayFile).trimmed());
    ownEnvironment.set("XDG_SESSION_TYPE", "wayland");
    ownEnvironment.set("XDG_CURRENT_DESKTOP", "KDE");
    ownEnvironment.set("SWAYSOCK", {});
    home.exportXdgHomes(ownEnvironment);
    ownEnvironment.set("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    return std::nullopt;
}

pid_t KWinSession::activePid() const
{
    for (const ForeignToplevel& window : windows()) {
        if (window.activated)
            return window.claimedPid.value_or(0);
    }
    return 0;
}

QList<ForeignToplevel> KWinSession::windows() const
{
    WaylandConnection connection(socketName.toLocal8Bit());
    connection.settle(QDeadlineTimer(startTimeout));
    org_kde_plasma_window_management* manager = connection.takePlasmaWindowManagement();
    if (!manager)
        return {};
    PlasmaWindows windows(manager);
    // Once for the windows, once for their initial states.
    connection.settle(QDeadlineTimer(startTimeout));
    connection.settle(QDeadlineTimer(startTimeout));
    return windows.list();
}
