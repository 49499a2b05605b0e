#include "Theme.h"
#include "WidgetLook.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
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
        // A program window's menu bar is a child, drawn in its window's palette.
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("Nimbrel"));
        window.show();
        alert.show();
        menu.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QCOMPARE(alert.palette().color(QPalette::Window), theme.windowBackground());

        theme.setDark(true);
        for (const QWidget* widget : {static_cast<QWidget*>(&alert), static_cast<QWidget*>(&menu),
                                      static_cast<QWidget*>(window.menuBar())}) {
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
