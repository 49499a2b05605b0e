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
constexpr int describeTimeout = 2000;

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

} // namespace

void GApplicationQuit::request(const QString& busName, const QString& objectPath, QObject* context,
                               std::function<void()> otherwise)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        otherwise();
        return;
    }
    QDBusMessage describe = QDBusMessage::createMethodCall(busName, objectPath, actionsInterface,
                                                           QStringLiteral("Describe"));
    describe << quitAction;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(describe, describeTimeout), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [=] {
        watcher->deleteLater();
        if (!isPlainEnabledAction(watcher->reply())) {
            otherwise();
            return;
        }
        QDBusMessage activate = QDBusMessage::createMethodCall(
            busName, objectPath, actionsInterface, QStringLiteral("Activate"));
        activate << quitAction << QVariant::fromValue(QVariantList{})
                 << QVariant::fromValue(QVariantMap{});
        // The app may be gone before it answers; the outcome shows when its process ends.
        QDBusConnection::sessionBus().send(activate);
    });
}
