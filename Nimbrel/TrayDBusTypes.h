#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// The values StatusNotifierItem and com.canonical.dbusmenu pass over D-Bus.

/// One size of an icon: ARGB32 pixels in network byte order (iiay).
struct TrayIconPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using TrayIconPixmaps = QList<TrayIconPixmap>;

/// The item's tool tip (sa(iiay)ss).
struct TrayToolTip {
    QString iconName;
    TrayIconPixmaps icons;
    QString title;
    QString text;
};

/// A menu entry and, nested, its children ((ia{sv}av)).
struct DBusMenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayout> children;
};

/// The properties of one menu entry ((ia{sv})).
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

/// An event a host reports on a menu entry ((isvu)).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

Q_DECLARE_METATYPE(TrayIconPixmap)
Q_DECLARE_METATYPE(TrayToolTip)
Q_DECLARE_METATYPE(DBusMenuLayout)
Q_DECLARE_METATYPE(DBusMenuItemProperties)
Q_DECLARE_METATYPE(DBusMenuEvent)

QDBusArgument& operator<<(QDBusArgument& argument, const TrayIconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, TrayIconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const TrayToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, TrayToolTip& toolTip);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayout& layout);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayout& layout);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

namespace TrayDBusTypes
{

/// Makes the types above known to QtDBus; call before exporting anything that uses them.
void registerAll();

} // namespace TrayDBusTypes
