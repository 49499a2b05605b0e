#include "SessionBus.h"

#include <QTest>

namespace
{

// Generous: a loaded two-core machine starts the bus in well under this.
constexpr int startTimeout = 20000;

} // namespace

SessionBus::~SessionBus()
{
    if (daemon.state() == QProcess::NotRunning)
        return;
    daemon.terminate();
    if (!daemon.waitForFinished(3000)) {
        daemon.kill();
        daemon.waitForFinished(3000);
    }
}

std::optional<QString> SessionBus::start()
{
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address")});
    if (!daemon.waitForStarted(startTimeout) ||
        !QTest::qWaitFor([&] { return daemon.canReadLine(); }, startTimeout))
        return QStringLiteral("dbus-daemon did not start");
    busAddress = QString::fromUtf8(daemon.readLine().trimmed());
    return std::nullopt;
}
