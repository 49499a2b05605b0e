#include "GApplicationQuit.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QObject>

namespace
{

const QString actionsInterface = QStringLiteral("org.gtk.Actions");
const QString quitAction = QStringLiteral("quit");
// An app that does not answer quickly is asked through its windows instead.
constexpr int callTimeout = 2000;

// Describe answers (bgav): enabled, parameter type, state.
bool isPlainEnabledAction(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return false;
    const auto description = reply.arguments().first().value<QDBusArgument>();
    if (description.currentSignature() != QLatin1String("(bgav)"))
        return false;
    bool enabled = false;
    // Read as text: QDBusSignature warns about the empty signature of an action without parameter.
    QString parameterType;
    description.beginStructure();
    description >> enabled >> parameterType;
    description.endStructure();
    return enabled && parameterType.isEmpty();
}

pid_t ownerPid(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return 0;
    return pid_t(reply.arguments().first().toUInt());
}

// Runs `then` with the reply of `call`, on `context`'s thread.
void whenAnswered(const QDBusMessage& call, QObject* context,
                  std::function<void(const QDBusMessage&)> then)
{
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, callTimeout), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         then(watcher->reply());
                     });
}

void activateQuit(const QString& busName, const QString& objectPath, QObject* context,
                  std::function<void(bool)> done)
{
    QDBusMessage describe = QDBusMessage::createMethodCall(busName, objectPath, actionsInterface,
                                                           QStringLiteral("Describe"));
    describe << quitAction;
    whenAnswered(describe, context, [=](const QDBusMessage& reply) {
        if (!isPlainEnabledAction(reply)) {
            done(false);
            return;
        }
        QDBusMessage activate = QDBusMessage::createMethodCall(
            busName, objectPath, actionsInterface, QStringLiteral("Activate"));
        activate << quitAction << QVariant::fromValue(QVariantList{})
                 << QVariant::fromValue(QVariantMap{});
        // Done once the bus has answered, so the request has left this process before a caller
        // that waits no longer ends it. The app may quit before it replies: the bus says so.
        whenAnswered(activate, context, [done](const QDBusMessage&) { done(true); });
    });
}

} // namespace

void GApplicationQuit::request(const QString& busName, const QString& objectPath,
                               std::function<bool(pid_t)> isAppProcess, QObject* context,
                               std::function<void(bool activated)> done)
{
    if (!QDBusConnection::sessionBus().isConnected()) {
        done(false);
        return;
    }
    // A window can name any bus name; only the app's own may be told to quit.
    QDBusMessage owner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
    owner << busName;
    whenAnswered(owner, context, [=](const QDBusMessage& reply) {
        const pid_t pid = ownerPid(reply);
        if (pid <= 0 || !isAppProcess(pid)) {
            done(false);
            return;
        }
        activateQuit(busName, objectPath, context, done);
    });
}
