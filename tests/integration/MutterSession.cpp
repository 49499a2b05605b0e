#include "MutterSession.h"

#include "TestProcesses.h"

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
        TestProcesses::stop(*app);
        delete app;
    }
    TestProcesses::stop(mutter);
}

std::optional<QString> MutterSession::start()
{
    for (const char* tool : {"mutter", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    if (auto problem = home.create())
        return problem;
    const QString runtimeDir = home.makePrivateFolder(QStringLiteral("run"));
    ownEnvironment.set("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
    home.exportXdgHomes(ownEnvironment);
    if (auto problem = bus.start())
        return problem;
    ownEnvironment.set("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
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
    ownEnvironment.set("WAYLAND_DISPLAY", socketName.toUtf8());
    return std::nullopt;
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
