#include "Theme.h"
#include "WidgetLook.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

// Menus, dialogs and alerts take the panel's look and turn with it, while the application's own
// palette (the desktop's, which the theme falls back on) stays as it was.
class tst_WidgetLook : public QObject
{
    Q_OBJECT

private slots:
    void widgetsFollowTheLook()
    {
        // A bus nobody answers on: the look is the one chosen here.
        Theme theme(QDBusConnection(QStringLiteral("none")));
        theme.setDark(false);
        const QPalette desktop = QGuiApplication::palette();
        WidgetLook look(theme);
        QMessageBox alert;
        QMenu menu;
        menu.addAction(QStringLiteral("Open Nimbrel"));
        alert.show();
        menu.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QCOMPARE(alert.palette().color(QPalette::Window), theme.windowBackground());

        theme.setDark(true);
        for (const QWidget* widget :
             {static_cast<QWidget*>(&alert), static_cast<QWidget*>(&menu)}) {
            QTRY_COMPARE(widget->palette().color(QPalette::Window), theme.windowBackground());
            QCOMPARE(widget->palette().color(QPalette::WindowText), theme.primaryText());
        }
        QMessageBox later;
        later.show();
        QCOMPARE(later.palette().color(QPalette::Window), theme.windowBackground());
        QCOMPARE(QGuiApplication::palette(), desktop);

        theme.setDark(false);
        QTRY_COMPARE(menu.palette().color(QPalette::Window), theme.windowBackground());
    }
};

QTEST_MAIN(tst_WidgetLook)
#include "tst_WidgetLook.moc"
