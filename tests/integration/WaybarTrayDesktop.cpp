#include "WaybarTrayDesktop.h"

#include "TestFiles.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

std::optional<QString> WaybarTrayDesktop::start()
{
    if (auto problem = SwayTrayDesktop::start())
        return problem;
    if (auto problem = bus.start())
        return problem;
    // The tray alone, at the right of a bar in waybar's own dark style.
    const QString config = sway.scratchPath(QStringLiteral("waybar.json"));
    TestFiles::writeFile(config, QStringLiteral(R"({"layer": "top", "position": "top", "height": %1,
                                           "modules-right": ["tray"],
                                           "tray": {"icon-size": 16, "spacing": 6}})")
                                     .arg(barHeight)
                                     .toUtf8());
    if (!sway.apps().start(QStringLiteral("waybar"),
                           {QStringLiteral("-c"), config, QStringLiteral("-s"),
                            QStringLiteral("/etc/xdg/waybar/style.css")},
                           {{QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address()}}))
        return QStringLiteral("waybar is not installed");
    QDBusConnection host = QDBusConnection::connectToBus(bus.address(), QStringLiteral("waybar"));
    const bool watching = QTest::qWaitFor(
        [&] {
            return host.interface()->isServiceRegistered(
                QStringLiteral("org.kde.StatusNotifierWatcher"));
        },
        showTimeout);
    QDBusConnection::disconnectFromBus(QStringLiteral("waybar"));
    if (!watching)
        return QStringLiteral("waybar's tray did not start");
    return std::nullopt;
}
