#include "DBusApplication.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QRegularExpression>
#include <QVariantMap>

bool DBusApplication::isBusName(const QString& id)
{
    static const QRegularExpression name(
        QStringLiteral("^[A-Za-z_-][A-Za-z0-9_-]*(\\.[A-Za-z_-][A-Za-z0-9_-]*)+$"));
    return id.size() <= 255 && name.match(id).hasMatch();
}

QString DBusApplication::objectPath(const QString& id)
{
    QString path = QLatin1Char('/') + id;
    path.replace(QLatin1Char('.'), QLatin1Char('/')).replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

bool DBusApplication::activate(const QString& id)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        id, objectPath(id), QStringLiteral("org.freedesktop.Application"),
        QStringLiteral("Activate"));
    call << QVariant::fromValue(QVariantMap{});
    // "Show" brings up what runs; it never launches the app again.
    call.setAutoStartService(false);
    return bus.send(call);
}
