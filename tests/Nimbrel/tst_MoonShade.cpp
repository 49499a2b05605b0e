#include "MoonShade.h"

#include <QTest>

// The moon the tray program draws where the tray does not recolour it must stand out on any
// bar: WCAG's 3:1 for the parts of a picture a user must make out.
class TestMoonShade : public QObject
{
    Q_OBJECT

private slots:
    void contrastFollowsWcag()
    {
        QCOMPARE(MoonShade::contrast(Qt::white, Qt::black), 21.0);
        QCOMPARE(MoonShade::contrast(Qt::black, Qt::white), 21.0);
        QCOMPARE(MoonShade::contrast(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35)), 1.0);
        // WCAG's worked figure: #777777 on white is 4.48:1.
        QCOMPARE(qRound(MoonShade::contrast(QColor(0x77, 0x77, 0x77), Qt::white) * 100), 448);
    }

    void standsOutOnEveryBar_data()
    {
        QTest::addColumn<QColor>("bar");
        QTest::addColumn<bool>("light");
        QTest::newRow("XFCE's dark bar") << QColor(0x35, 0x35, 0x35) << true;
        QTest::newRow("tint2's black") << QColor(Qt::black) << true;
        QTest::newRow("Breeze's light bar") << QColor(0xef, 0xf0, 0xf1) << false;
        QTest::newRow("white") << QColor(Qt::white) << false;
        QTest::newRow("middle grey") << QColor(0x80, 0x80, 0x80) << false;
        QTest::newRow("saturated blue") << QColor(0x1e, 0x3a, 0xc8) << true;
        QTest::newRow("yellow") << QColor(0xf0, 0xd0, 0x20) << false;
    }

    void standsOutOnEveryBar()
    {
        QFETCH(QColor, bar);
        QFETCH(bool, light);
        const QColor moon = MoonShade::onBar(bar);
        QCOMPARE(MoonShade::luminance(moon) > 0.5, light);
        QVERIFY2(MoonShade::contrast(moon, bar) >= 3.0,
                 qPrintable(QStringLiteral("%1 on %2").arg(moon.name(), bar.name())));
    }

    void followsTheTraysForeground_data()
    {
        QTest::addColumn<QColor>("foreground");
        QTest::addColumn<bool>("light");
        QTest::newRow("white text") << QColor(Qt::white) << true;
        QTest::newRow("light grey text") << QColor(0xbe, 0xbe, 0xbe) << true;
        QTest::newRow("black text") << QColor(Qt::black) << false;
        QTest::newRow("dark grey text") << QColor(0x2e, 0x34, 0x36) << false;
    }

    void followsTheTraysForeground()
    {
        QFETCH(QColor, foreground);
        QFETCH(bool, light);
        QCOMPARE(MoonShade::luminance(MoonShade::forForeground(foreground)) > 0.5, light);
    }
};

QTEST_GUILESS_MAIN(TestMoonShade)
#include "tst_MoonShade.moc"
