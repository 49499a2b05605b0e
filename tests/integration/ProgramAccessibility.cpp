#include "ProgramAccessibility.h"

#include "TestProcesses.h"
#include "TrayDesktop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

#include <algorithm>

namespace
{

const QString launcherPath = QStringLiteral("/usr/libexec/at-spi-bus-launcher");

} // namespace

ProgramAccessibility::~ProgramAccessibility()
{
    for (const std::shared_ptr<QProcess>& launcher : std::as_const(accessibilityBuses))
        TestProcesses::stop(*launcher);
}

void ProgramAccessibility::prepare(QProcessEnvironment& environment, const QString& busAddress)
{
    programBus = busAddress;
    if (!accessibilityBuses.contains(busAddress)) {
        auto launcher = std::make_shared<QProcess>();
        QProcessEnvironment launcherEnvironment = QProcessEnvironment::systemEnvironment();
        launcherEnvironment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
        launcher->setProcessEnvironment(launcherEnvironment);
        launcher->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        launcher->start(launcherPath, {QStringLiteral("--launch-immediately")});
        accessibilityBuses.insert(busAddress, launcher);
        // Qt's bridge looks for the accessibility bus once, at start-up.
        QDBusConnection bus = QDBusConnection::connectToBus(busAddress, QStringLiteral("a11y"));
        (void)QTest::qWaitFor(
            [&] { return bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")); },
            TrayDesktop::showTimeout);
        QDBusConnection::disconnectFromBus(QStringLiteral("a11y"));
    }
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
}

QHash<QString, QString> ProgramAccessibility::prepareOnOwnBus()
{
    QProcessEnvironment added;
    prepare(added, qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
    QHash<QString, QString> variables;
    for (const QString& name : added.keys())
        variables.insert(name, added.value(name));
    return variables;
}

QList<QStringList> ProgramAccessibility::shownWindows(const QString& title) const
{
    QList<QStringList> windows;
    for (const QString& line : QString::fromUtf8(run(QStringLiteral("accessible_tree.py"), {}))
                                   .split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() == 3 && fields[0] == QLatin1String("frame") &&
            (title.isEmpty() || fields[1] == title) &&
            fields[2].split(QLatin1Char(',')).contains(QLatin1String("visible")))
            windows.append(fields[2].split(QLatin1Char(',')));
    }
    return windows;
}

QStringList ProgramAccessibility::shownNames(const QString& role) const
{
    QStringList names;
    for (const QString& line : QString::fromUtf8(run(QStringLiteral("accessible_tree.py"), {}))
                                   .split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() == 3 && fields[0] == role &&
            fields[2].split(QLatin1Char(',')).contains(QLatin1String("showing")))
            names.append(fields[1]);
    }
    return names;
}

bool ProgramAccessibility::isActive(const QString& title) const
{
    const QList<QStringList> windows = shownWindows(title);
    return std::any_of(windows.cbegin(), windows.cend(), [](const QStringList& states) {
        return states.contains(QLatin1String("active"));
    });
}

bool ProgramAccessibility::focus(const QString& name) const
{
    int exitCode = -1;
    run(QStringLiteral("focus_button.py"), {name}, &exitCode);
    return exitCode == 0;
}

QByteArray ProgramAccessibility::run(const QString& script, const QStringList& arguments,
                                     int* exitCode) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), programBus);
    QProcess reader;
    reader.setProcessEnvironment(environment);
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reader.start(
        QStringLiteral(NIMBREL_TEST_PYTHON),
        QStringList{QStringLiteral(NIMBREL_TEST_APPS_DIR "/") + script, QStringLiteral("Nimbrel")} +
            arguments);
    if (!reader.waitForFinished(TrayDesktop::showTimeout))
        reader.kill();
    if (exitCode)
        *exitCode = reader.exitStatus() == QProcess::NormalExit ? reader.exitCode() : -1;
    return reader.readAllStandardOutput();
}
