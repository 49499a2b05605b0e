#include "StatusNotifierItem.h"

#include "DBusMenu.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QImage>
#include <QtEndian>

namespace
{

const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuObjectPath = QStringLiteral("/MenuBar");

TrayIconPixmaps pixmapsOf(const QIcon& icon)
{
    TrayIconPixmaps sizes;
    for (const int side : {16, 22, 24, 32, 48}) {
        const QImage image =
            icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            continue;
        QByteArray argb(qsizetype(image.width()) * image.height() * 4, Qt::Uninitialized);
        auto* out = reinterpret_cast<quint32*>(argb.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                *out++ = qToBigEndian(line[x]);
        }
        sizes.append({image.width(), image.height(), argb});
    }
    return sizes;
}

} // namespace

StatusNotifierItem::StatusNotifierItem(const QString& title_, const QString& iconName_,
                                       const QString& iconThemePath_, QMenu* menu_, QObject* parent)
    : QObject(parent), itemTitle(title_), themeIconName(iconName_), themePath(iconThemePath_),
      menu(new DBusMenu(menu_, this))
{
    TrayDBusTypes::registerAll();
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!published)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(menuObjectPath);
    bus.unregisterObject(itemPath);
    bus.unregisterService(serviceName());
}

QString StatusNotifierItem::serviceName() const
{
    // The bus name hosts expect of an item: the process, then the item.
    return QStringLiteral("org.kde.StatusNotifierItem-%1-1")
        .arg(QCoreApplication::applicationPid());
}

QString StatusNotifierItem::id() const
{
    return QCoreApplication::applicationName();
}

bool StatusNotifierItem::publish()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    published = bus.isConnected() &&
                bus.registerObject(itemPath, this, QDBusConnection::ExportScriptableContents) &&
                bus.registerObject(menuObjectPath, menu, QDBusConnection::ExportAllContents) &&
                bus.registerService(serviceName());
    return published;
}

void StatusNotifierItem::registerWithWatcher()
{
    if (!published)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.kde.StatusNotifierWatcher"),
        QStringLiteral("RegisterStatusNotifierItem"));
    // By its object path, as libappindicator's items do: hosts take the sender's own bus name.
    // GNOME's extension watches an item registered by a well-known name through a second,
    // racing path that may drop the item as it starts.
    call << itemPath;
    // Nothing to wait for: a watcher that refuses leaves the item unseen, as no watcher would.
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
}

void StatusNotifierItem::setFallbackIcon(const QIcon& icon)
{
    pixmaps = pixmapsOf(icon);
    emit NewIcon();
}

TrayToolTip StatusNotifierItem::toolTip() const
{
    return {QString(), {}, itemTitle, QString()};
}

QDBusObjectPath StatusNotifierItem::menuPath() const
{
    return QDBusObjectPath(menuObjectPath);
}

void StatusNotifierItem::Activate(int x, int y)
{
    emit activated(QPoint(x, y));
}

// A middle click and the wheel mean nothing here; hosts call them all the same.
void StatusNotifierItem::SecondaryActivate(int, int) {}

void StatusNotifierItem::ContextMenu(int x, int y)
{
    emit contextMenuRequested(QPoint(x, y));
}

void StatusNotifierItem::Scroll(int, const QString&) {}
