#include "MutterSession.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

namespace
{

// Generous: a loaded two-core machine starts mutter in well under this.
constexpr int startTimeout = 20000;
const QString socketName = QStringLiteral("nimbrel-mutter");

} // namespace

MutterSession::~MutterSession()
{
    for (QProcess* app : std::as_const(apps)) {
        stop(*app);
        delete app;
    }
    stop(mutter);
    stop(bus);
    for (auto saved = savedEnvironment.cbegin(); saved != savedEnvironment.cend(); ++saved) {
        if (saved.value())
            qputenv(saved.key().constData(), *saved.value());
        else
            qunsetenv(saved.key().constData());
    }
}

std::optional<QString> MutterSession::start()
{
    for (const char* tool : {"mutter", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    if (!home.isValid())
        return QStringLiteral("cannot create a temporary folder");
    const QDir root(home.path());
    for (const char* folder : {"run", "data/applications", "config", "scratch"})
        root.mkpath(QLatin1String(folder));
    const QString runtimeDir = root.filePath(QStringLiteral("run"));
    QFile::setPermissions(runtimeDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setEnvironment("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
    setEnvironment("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("data"))));
    setEnvironment("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address")});
    if (!bus.waitForStarted(startTimeout) ||
        !QTest::qWaitFor([&] { return bus.canReadLine(); }, startTimeout))
        return QStringLiteral("dbus-daemon did not start");
    setEnvironment("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
    mutter.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mutter.setStandardOutputFile(QProcess::nullDevice());
    mutter.start(QStringLiteral("mutter"),
                 {QStringLiteral("--headless"), QStringLiteral("--wayland"),
                  QStringLiteral("--no-x11"), QStringLiteral("--virtual-monitor"),
                  QStringLiteral("1280x800"), QStringLiteral("--wayland-display"), socketName});
    const QString socket = runtimeDir + QLatin1Char('/') + socketName;
    if (!mutter.waitForStarted(startTimeout) ||
        !QTest::qWaitFor(
            [&] { return QFileInfo::exists(socket) || mutter.state() == QProcess::NotRunning; },
            startTimeout) ||
        mutter.state() == QProcess::NotRunning)
        return QStringLiteral("mutter did not start");
    setEnvironment("WAYLAND_DISPLAY", socketName.toUtf8());
    return std::nullopt;
}

QString MutterSession::installDesktopEntry(const QString& fileId, const QByteArray& contents)
{
    const QString path = home.filePath(QStringLiteral("data/applications/") + fileId);
    TestFiles::writeFile(path, contents);
    return path;
}

QString MutterSession::scratchPath(const QString& name) const
{
    return home.filePath(QStringLiteral("scratch/") + name);
}

QProcess* MutterSession::startApp(const QString& command,
                                  const QHash<QString, QString>& environment)
{
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
    variables.remove(QStringLiteral("DISPLAY"));
    for (auto variable = environment.cbegin(); variable != environment.cend(); ++variable)
        variables.insert(variable.key(), variable.value());
    auto* app = new QProcess;
    app->setProcessEnvironment(variables);
    app->setProcessChannelMode(QProcess::ForwardedChannels);
    app->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    apps.append(app);
    return app;
}

void MutterSession::setEnvironment(const char* name, const QByteArray& value)
{
    if (!savedEnvironment.contains(name)) {
        savedEnvironment.insert(name, qEnvironmentVariableIsSet(name)
                                          ? std::optional<QByteArray>(qgetenv(name))
                                          : std::nullopt);
    }
    qputenv(name, value);
}

void MutterSession::stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}
