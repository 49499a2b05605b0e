#include "SwaySession.h"

#include "TestFiles.h"
#include "TestProcesses.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

namespace
{

// Generous: a loaded two-core machine starts sway in well under this.
constexpr int startTimeout = 20000;
constexpr uid_t nobody = 65534;

// Every window of the tree below `node`, focused or not.
void collectWindows(const QJsonObject& node, QList<QJsonObject>& windows)
{
    if (node.contains(QLatin1String("pid")))
        windows.append(node);
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
            collectWindows(child.toObject(), windows);
    }
}

} // namespace

SwaySession::SwaySession() = default;

SwaySession::~SwaySession()
{
    clients.stopAll();
    TestProcesses::stop(sway);
}

std::optional<QString> SwaySession::start()
{
    for (const char* tool : {"sway", "setpriv", "foot", "Xwayland", "xhost", "swaymsg"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    if (auto problem = home.create())
        return problem;
    const bool asRoot = geteuid() == 0;
    const QDir root(home.path());
    root.mkpath(QStringLiteral("home"));
    // sway's own folders belong to the user it runs as, its runtime folder to it alone.
    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
    runtimeDir = home.makePrivateFolder(QStringLiteral("run"));
    home.makePrivateFolder(QStringLiteral("apps"));
    if (asRoot) {
        for (const char* folder : {"run", "home"}) {
            if (chown(QFile::encodeName(root.filePath(QLatin1String(folder))).constData(), nobody,
                      nobody) != 0)
                return QStringLiteral("cannot hand a folder to nobody");
        }
    }
    const QString config = root.filePath(QStringLiteral("sway.conf"));
    const QString displayFile = runtimeDir + QStringLiteral("/x-display");
    TestFiles::writeFile(config, QStringLiteral("xwayland enable\n"
                                                "exec printenv DISPLAY > %1\n")
                                     .arg(displayFile)
                                     .toUtf8());
    QFile::setPermissions(config, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOther);

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    environment.insert(QStringLiteral("SHELL"), QStringLiteral("/bin/sh"));
    sway.setProcessEnvironment(environment);
    sway.setWorkingDirectory(home.path());
    sway.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    sway.setStandardErrorFile(root.filePath(QStringLiteral("sway.log")));
    const QStringList swayArguments{QStringLiteral("-c"), config};
    if (asRoot)
        sway.start(QStringLiteral("setpriv"),
                   QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                               QStringLiteral("--clear-groups"), QStringLiteral("sway")} +
                       swayArguments);
    else
        sway.start(QStringLiteral("sway"), swayArguments);
    if (!sway.waitForStarted(startTimeout))
        return QStringLiteral("sway did not start");
    waylandSocket = waitForFile(runtimeDir, QStringLiteral("wayland-[0-9]"));
    ipcSocket = waitForFile(runtimeDir, QStringLiteral("sway-ipc.*.sock"));
    const bool displayKnown = QTest::qWaitFor(
        [&] { return !TestFiles::readFile(displayFile).trimmed().isEmpty(); }, startTimeout);
    if (waylandSocket.isEmpty() || ipcSocket.isEmpty() || !displayKnown)
        return QStringLiteral("sway did not come up; see %1")
            .arg(root.filePath(QStringLiteral("sway.log")));

    // Xwayland admits only the user it runs as; this process's apps are root's.
    if (asRoot) {
        QProcess admit;
        QProcessEnvironment admitEnvironment = environment;
        admitEnvironment.insert(QStringLiteral("DISPLAY"),
                                QString::fromLocal8Bit(TestFiles::readFile(displayFile).trimmed()));
        admit.setProcessEnvironment(admitEnvironment);
        admit.start(QStringLiteral("setpriv"),
                    {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                     QStringLiteral("--clear-groups"), QStringLiteral("xhost"),
                     QStringLiteral("+si:localuser:root")});
        if (!admit.waitForFinished(startTimeout) || admit.exitCode() != 0)
            return QStringLiteral("xhost could not admit root to Xwayland");
    }
    ownEnvironment.set("WAYLAND_DISPLAY", waylandSocket.toLocal8Bit());
    ownEnvironment.set("SWAYSOCK", ipcSocket.toLocal8Bit());
    ownEnvironment.set("DISPLAY", TestFiles::readFile(displayFile).trimmed());
    ownEnvironment.set("XDG_SESSION_TYPE", "wayland");
    home.exportXdgHomes(ownEnvironment);
    ownEnvironment.set("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    return std::nullopt;
}

pid_t SwaySession::focusedPid() const
{
    for (const QJsonObject& window : windows()) {
        if (window.value(QLatin1String("focused")).toBool())
            return pid_t(window.value(QLatin1String("pid")).toInteger());
    }
    return 0;
}

QList<pid_t> SwaySession::windowPids() const
{
    QList<pid_t> pids;
    for (const QJsonObject& window : windows())
        pids.append(pid_t(window.value(QLatin1String("pid")).toInteger()));
    return pids;
}

QList<QJsonObject> SwaySession::windows() const
{
    QProcess query;
    query.start(QStringLiteral("swaymsg"), {QStringLiteral("-s"), ipcSocket, QStringLiteral("-t"),
                                            QStringLiteral("get_tree")});
    QList<QJsonObject> windows;
    if (query.waitForFinished(startTimeout))
        collectWindows(QJsonDocument::fromJson(query.readAllStandardOutput()).object(), windows);
    return windows;
}

QString SwaySession::waitForFile(const QString& folder, const QString& pattern) const
{
    QString found;
    // Nothing found in time leaves `found` empty, which the caller reports.
    (void)QTest::qWaitFor(
        [&] {
            const QStringList names = QDir(folder).entryList({pattern}, QDir::System);
            found = names.isEmpty() ? QString() : QDir(folder).filePath(names.first());
            return !found.isEmpty() || sway.state() != QProcess::Running;
        },
        startTimeout);
    return found;
}
