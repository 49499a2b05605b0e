#pragma once

#include "TrayDBusTypes.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class QAction;
class QMenu;

/// A menu a tray host shows itself, over com.canonical.dbusmenu: the rows of a QMenu as
/// entries 1, 2, … under the root entry 0. A click the host reports triggers the row once the
/// call is answered. Export it with QDBusConnection::ExportAllContents.
class DBusMenu : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    /// Shows the rows of `menu`, which it follows as long as the menu lives.
    explicit DBusMenu(QMenu* menu, QObject* parent = nullptr);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

    /// The properties of entry `id` as the protocol names them; the root when `id` is 0.
    QVariantMap properties(int id) const;

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DBusMenuLayout& layout);
    DBusMenuItemPropertiesList GetGroupProperties(const QList<int>& ids,
                                                  const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const QList<DBusMenuEvent>& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // The row entry `id` stands for; null for the root and unknown entries.
    QAction* action(int id) const;
    bool known(int id) const { return id == 0 || action(id); }

    QPointer<QMenu> menu;
};
