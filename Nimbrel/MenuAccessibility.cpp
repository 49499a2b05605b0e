#include "MenuAccessibility.h"

#include <QAccessibleObject>
#include <QApplication>
#include <QMenu>

namespace
{

// The application's usual children, then each shown menu that no menu or menu bar leads to.
class ApplicationWithMenus : public QAccessibleApplication
{
public:
    int childCount() const override
    {
        return QAccessibleApplication::childCount() + int(openMenus().size());
    }

    QAccessibleInterface* child(int index) const override
    {
        const int usual = QAccessibleApplication::childCount();
        if (index < usual)
            return QAccessibleApplication::child(index);
        const QList<QMenu*> menus = openMenus();
        return index - usual < menus.size()
                   ? QAccessible::queryAccessibleInterface(menus.at(index - usual))
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const int usual = QAccessibleApplication::indexOfChild(child);
        if (usual >= 0 || !child)
            return usual;
        const int menu = int(openMenus().indexOf(qobject_cast<QMenu*>(child->object())));
        return menu < 0 ? -1 : QAccessibleApplication::childCount() + menu;
    }

private:
    static QList<QMenu*> openMenus()
    {
        QList<QMenu*> menus;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* menu = qobject_cast<QMenu*>(widget);
            // A submenu is reached through the item that opened it.
            if (menu && menu->isVisible() && !qobject_cast<QMenu*>(menu->parentWidget()))
                menus.append(menu);
        }
        return menus;
    }
};

QAccessibleInterface* applicationWithMenus(const QString& className, QObject* object)
{
    if (className == QLatin1String("QApplication") && object == qApp)
        return new ApplicationWithMenus;
    return nullptr;
}

} // namespace

namespace MenuAccessibility
{

void install()
{
    QAccessible::installFactory(applicationWithMenus);
}

} // namespace MenuAccessibility
