#pragma once

#include "TrayDBusTypes.h"

#include <QDBusObjectPath>
#include <QIcon>
#include <QObject>
#include <QPoint>

class DBusMenu;
class QMenu;

/// The program's item for StatusNotifierItem hosts (XFCE's and Plasma's trays, GNOME's
/// AppIndicator extension, waybar): a symbolic icon the host draws in its own colour, a menu
/// the host shows itself, and the host's Activate and ContextMenu calls as signals. Main
/// thread only.
class StatusNotifierItem : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(TrayIconPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(TrayIconPixmaps OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(TrayIconPixmaps AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(TrayToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath)

public:
    /// An item named `title` showing theme icon `iconName`, found in `iconThemePath` when that
    /// is not empty, and `menu`'s rows as its menu.
    StatusNotifierItem(const QString& title, const QString& iconName, const QString& iconThemePath,
                       QMenu* menu, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    /// Puts the item and its menu on the session bus; false when the bus refuses them.
    bool publish();
    /// Asks the desktop's StatusNotifierWatcher to show the item; again whenever a new watcher
    /// appears.
    void registerWithWatcher();
    /// The picture for hosts that cannot find the icon by name.
    void setFallbackIcon(const QIcon& icon);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const;
    QString title() const { return itemTitle; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconThemePath() const { return themePath; }
    QString iconName() const { return themeIconName; }
    TrayIconPixmaps iconPixmap() const { return pixmaps; }
    QString noName() const { return {}; }
    TrayIconPixmaps noPixmap() const { return {}; }
    TrayToolTip toolTip() const;
    // A click asks for the panel, not for the menu: hosts that honour this send Activate.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menuPath() const;

public slots:
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);

signals:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString& status);
    /// The host reports a click at `position` (screen coordinates; zero when it does not say).
    void activated(QPoint position);
    /// The host asks the item to show its menu at `position`.
    void contextMenuRequested(QPoint position);

private:
    QString serviceName() const;

    QString itemTitle;
    QString themeIconName;
    QString themePath;
    TrayIconPixmaps pixmaps;
    DBusMenu* menu;
    bool published = false;
};
