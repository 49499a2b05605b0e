#include "SessionBus.h"

#include "TestProcesses.h"

#include <QTest>

namespace
{

// Generous: a loaded two-core machine starts the bus in well under this.
constexpr int startTimeout = 20000;

} // namespace

SessionBus::~SessionBus()
{
    TestProcesses::stop(daemon);
}

std::optional<QString> SessionBus::start(const QProcessEnvironment& environment)
{
    daemon.setProcessEnvironment(environment);
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address")});
    if (!daemon.waitForStarted(startTimeout) ||
        !QTest::qWaitFor([&] { return daemon.canReadLine(); }, startTimeout))
        return QStringLiteral("dbus-daemon did not start");
    busAddress = QString::fromUtf8(daemon.readLine().trimmed());
    return std::nullopt;
}
