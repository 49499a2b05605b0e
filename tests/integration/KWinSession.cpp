#include "KWinSession.h"

#include "PlasmaWindows.h"
#include "TestFiles.h"
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

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

KWinSession::KWinSession() = default;

KWinSession::~KWinSession()
{
    stopApps();
    stop(kwin);
    stop(bus);
    for (auto saved = savedEnvironment.cbegin(); saved != savedEnvironment.cend(); ++saved) {
        if (saved.value())
            qputenv(saved.key().constData(), *saved.value());
        else
            qunsetenv(saved.key().constData());
    }
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
    if (!home.isValid())
        return QStringLiteral("cannot create a temporary folder");
    const QDir root(home.path());
    for (const char* folder : {"run", "data/applications", "config", "cache", "scratch"})
        root.mkpath(QLatin1String(folder));
    runtimeDir = root.filePath(QStringLiteral("run"));
    QFile::setPermissions(runtimeDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString kwinCopy = root.filePath(QStringLiteral("kwin_wayland"));
    if (!QFile::copy(installed, kwinCopy))
        return QStringLiteral("cannot copy kwin_wayland");
    for (const QString& program : trustedPrograms) {
        const QString path = QFileInfo(program).canonicalFilePath();
        installDesktopEntry(QFileInfo(path).fileName() + QStringLiteral(".desktop"),
                            QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n"
                                           "NoDisplay=true\nExec=%2\nX-KDE-Wayland-Interfaces="
                                           "org_kde_plasma_window_management\n")
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

    bus.setProcessEnvironment(environment);
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address=1")});
    QByteArray busAddress;
    const bool busUp = bus.waitForStarted(startTimeout) && QTest::qWaitFor(
                                                               [&] {
                                                                   busAddress +=
                                                                       bus.readAllStandardOutput();
                                                                   return busAddress.contains('\n');
                                                               },
                                                               startTimeout);
    if (!busUp)
        return QStringLiteral("the session bus did not start");
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QString::fromUtf8(busAddress.trimmed()));
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
    setEnvironment("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
    setEnvironment("WAYLAND_DISPLAY", socketName.toLocal8Bit());
    setEnvironment("DISPLAY", TestFiles::readFile(displayFile).trimmed());
    setEnvironment("XDG_SESSION_TYPE", "wayland");
    setEnvironment("XDG_CURRENT_DESKTOP", "KDE");
    setEnvironment("SWAYSOCK", QByteArray());
    setEnvironment("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
    setEnvironment("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    setEnvironment("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    return std::nullopt;
}

QString KWinSession::installDesktopEntry(const QString& fileId, const QString& contents)
{
    const QString path = home.filePath(QStringLiteral("data/applications/") + fileId);
    if (!TestFiles::writeFile(path, contents.toUtf8()))
        qWarning("Could not write the desktop entry %s", qPrintable(path));
    return path;
}

QString KWinSession::scratchPath(const QString& name) const
{
    return home.filePath(QStringLiteral("scratch/") + name);
}

QProcess* KWinSession::startApp(const QString& program, const QStringList& arguments,
                                const QHash<QString, QString>& environment)
{
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
    variables.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    variables.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    for (auto variable = environment.cbegin(); variable != environment.cend(); ++variable)
        variables.insert(variable.key(), variable.value());
    auto* app = new QProcess;
    app->setProcessEnvironment(variables);
    app->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app->start(program, arguments);
    apps.append(app);
    return app;
}

void KWinSession::stopApps()
{
    for (QProcess* app : std::as_const(apps)) {
        app->kill();
        app->waitForFinished(3000);
        delete app;
    }
    apps.clear();
}

pid_t KWinSession::activePid() const
{
    WaylandConnection connection(socketName.toLocal8Bit());
    connection.settle(QDeadlineTimer(startTimeout));
    org_kde_plasma_window_management* manager = connection.takePlasmaWindowManagement();
    if (!manager)
        return 0;
    PlasmaWindows windows(manager);
    // Once for the windows, once for their initial states.
    connection.settle(QDeadlineTimer(startTimeout));
    connection.settle(QDeadlineTimer(startTimeout));
    for (const ForeignToplevel& window : windows.list()) {
        if (window.activated)
            return window.claimedPid.value_or(0);
    }
    return 0;
}

void KWinSession::setEnvironment(const char* name, const QByteArray& value)
{
    if (!savedEnvironment.contains(name)) {
        savedEnvironment.insert(name, qEnvironmentVariableIsSet(name)
                                          ? std::optional<QByteArray>(qgetenv(name))
                                          : std::nullopt);
    }
    qputenv(name, value);
}
