#include "TrayHosts.h"

#include "X11SystemTray.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QGuiApplication>

namespace
{

const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

TrayHosts::TrayHosts(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Watching first: changes after the question below arrive after its answer.
    watcher = std::make_unique<QDBusServiceWatcher>(watcherName, bus,
                                                    QDBusServiceWatcher::WatchForOwnerChange);
    connect(watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                setWatcherPresent(!newOwner.isEmpty());
            });
    QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    question << watcherName;
    auto* answer = new QDBusPendingCallWatcher(bus.asyncCall(question), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<bool> reply = *call;
                setWatcherPresent(reply.isValid() && reply.value());
            });

    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        xembed = std::make_unique<X11SystemTray>();
        connect(xembed.get(), &X11SystemTray::changed, this, &TrayHosts::changed);
    }
}

TrayHosts::~TrayHosts() = default;

bool TrayHosts::hasXEmbedTray() const
{
    return xembed && xembed->present();
}

void TrayHosts::setWatcherPresent(bool present)
{
    watcherKnown = true;
    watcherPresent = present;
    if (present)
        emit watcherStarted();
    emit changed();
}
