#include "PopoverPlacement.h"

#include <QTest>

#include <optional>

namespace
{

const QSize panel{380, 470};
// Two monitors side by side, a 24-pixel bar at the top of the left one, as the window manager
// publishes its work area: one rectangle over both.
const QRect left{0, 0, 1280, 800};
const QRect right{1280, 0, 1920, 1080};
const QRect workArea{0, 24, 3200, 1056};

} // namespace

class tst_PopoverPlacement : public QObject
{
    Q_OBJECT

private slots:
    void monitorFreeArea_data()
    {
        QTest::addColumn<QRect>("monitor");
        QTest::addColumn<std::optional<QRect>>("work");
        QTest::addColumn<QRect>("free");
        QTest::newRow("monitor with the bar")
            << left << std::optional(workArea) << QRect(0, 24, 1280, 776);
        QTest::newRow("taller monitor beside it")
            << right << std::optional(workArea) << QRect(1280, 24, 1920, 1056);
        QTest::newRow("no work area published") << right << std::optional<QRect>() << right;
        QTest::newRow("work area on another monitor only")
            << right << std::optional(QRect(0, 24, 1280, 776)) << right;
    }

    void monitorFreeArea()
    {
        QFETCH(QRect, monitor);
        QFETCH(std::optional<QRect>, work);
        QFETCH(QRect, free);
        QCOMPARE(::monitorFreeArea(monitor, work), free);
    }

    void popoverGeometry_data()
    {
        QTest::addColumn<std::optional<QRect>>("icon");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("placed");
        const QRect leftFree = ::monitorFreeArea(left, workArea);
        QTest::newRow("below the icon, centred") << std::optional(QRect(600, 2, 20, 20)) << QPoint()
                                                 << leftFree << QRect(QPoint(419, 24), panel);
        QTest::newRow("icon at the right edge: inside the monitor")
            << std::optional(QRect(1250, 2, 20, 20)) << QPoint() << leftFree
            << QRect(QPoint(900, 24), panel);
        // The tray says nothing (StatusNotifierItem): the pointer on the bar is the anchor.
        QTest::newRow("pointer on the bar: below the bar, not over it")
            << std::optional<QRect>() << QPoint(1200, 12) << leftFree
            << QRect(QPoint(900, 24), panel);
        QTest::newRow("bottom bar: above the bar")
            << std::optional(QRect(1500, 1060, 20, 20)) << QPoint() << QRect(1280, 0, 1920, 1056)
            << QRect(QPoint(1319, 1056 - 470), panel);
    }

    void popoverGeometry()
    {
        QFETCH(std::optional<QRect>, icon);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, available);
        QFETCH(QRect, placed);
        QCOMPARE(::popoverGeometry(panel, icon, pointer, available), placed);
    }
};

QTEST_GUILESS_MAIN(tst_PopoverPlacement)
#include "tst_PopoverPlacement.moc"
