#include "MenuAccessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QTest>

namespace
{

// The shown menu among the application's accessible children; null when there is none.
QAccessibleInterface* menuInTree()
{
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    for (int index = 0; application && index < application->childCount(); ++index) {
        QAccessibleInterface* child = application->child(index);
        if (child && child->role() == QAccessible::PopupMenu) {
            if (application->indexOfChild(child) != index)
                return nullptr;
            return child;
        }
    }
    return nullptr;
}

} // namespace

// A menu opened on its own, as the status menu is where no tray host shows it, is in the tree a
// screen reader walks, with its items, while it is open, and leaves it once closed.
class tst_MenuAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void openMenuIsInTheTree()
    {
        QMenu menu;
        const QStringList items{"Open Nimbrel",  "Settings…",     "Check for Updates…",
                                "Show Tutorial", "About Nimbrel", "Quit Nimbrel"};
        for (const QString& item : items)
            menu.addAction(item);
        QVERIFY(!menuInTree());

        menu.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QAccessibleInterface* shown = menuInTree();
        QVERIFY(shown);
        QStringList named;
        for (int index = 0; index < shown->childCount(); ++index) {
            QAccessibleInterface* item = shown->child(index);
            QCOMPARE(item->role(), QAccessible::MenuItem);
            named.append(item->text(QAccessible::Name));
        }
        QCOMPARE(named, items);
        QCOMPARE(shown->parent(), QAccessible::queryAccessibleInterface(qApp));

        menu.hide();
        QTRY_VERIFY(!menuInTree());
    }
};

// The factory must be in place before the application's accessible object first exists.
int main(int argc, char* argv[])
{
    MenuAccessibility::install();
    QApplication application(argc, argv);
    tst_MenuAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MenuAccessibility.moc"
