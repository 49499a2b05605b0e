#include "Quitter.h"

#include <QLocale>
#include <QTest>

class TestReport : public QObject
{
    Q_OBJECT

private:
    static AppEntry app(pid_t pid, quint64 memory)
    {
        return AppEntry{pid, QStringLiteral("App %1").arg(pid), std::nullopt, std::nullopt, memory,
                        {}};
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void headline_data()
    {
        QTest::addColumn<QList<AppEntry>>("closed");
        QTest::addColumn<QList<AppEntry>>("stillOpen");
        QTest::addColumn<quint64>("freed");
        QTest::addColumn<QString>("headline");
        const quint64 mb = 1024 * 1024;
        QTest::newRow("empty") << QList<AppEntry>{} << QList<AppEntry>{} << quint64(0)
                               << QStringLiteral("Nothing to close");
        QTest::newRow("only still open") << QList<AppEntry>{} << QList<AppEntry>{app(1, 500 * mb)}
                                         << quint64(0) << QStringLiteral("Nothing closed yet");
        QTest::newRow("one with memory")
            << QList<AppEntry>{app(1, 300 * mb)} << QList<AppEntry>{} << 300 * mb
            << QStringLiteral("Closed 1 app, freed 300 MB");
        QTest::newRow("three with memory")
            << QList<AppEntry>{app(1, 512 * mb), app(2, 256 * mb), app(3, 768 * mb)}
            << QList<AppEntry>{app(4, 100 * mb)} << 1536 * mb
            << QStringLiteral("Closed 3 apps, freed 1.5 GB");
        // Rows of "3 MB" and "1 MB": a total of 3 MB would disagree with them.
        QTest::newRow("a row under 1 MB counts as the 1 MB it shows")
            << QList<AppEntry>{app(1, 2662 * 1024), app(2, 614 * 1024)} << QList<AppEntry>{}
            << quint64(3276 * 1024) << QStringLiteral("Closed 2 apps, freed 4 MB");
        QTest::newRow("two unmeasured")
            << QList<AppEntry>{app(1, 0), app(2, 0)} << QList<AppEntry>{} << quint64(0)
            << QStringLiteral("Closed 2 apps");
        QTest::newRow("many, grouped count")
            << QList<AppEntry>(1200, app(1, 0)) << QList<AppEntry>{} << quint64(0)
            << QStringLiteral("Closed 1,200 apps");
    }

    void headline()
    {
        QFETCH(QList<AppEntry>, closed);
        QFETCH(QList<AppEntry>, stillOpen);
        QFETCH(quint64, freed);
        QFETCH(QString, headline);
        const Quitter::Report report{closed, stillOpen};
        QCOMPARE(report.freed(), freed);
        QCOMPARE(report.headline(), headline);
    }

    void equalityIsOrderSensitive()
    {
        const Quitter::Report forward{{app(1, 10), app(2, 20)}, {app(3, 0)}};
        const Quitter::Report backward{{app(2, 20), app(1, 10)}, {app(3, 0)}};
        QCOMPARE(forward, (Quitter::Report{{app(1, 10), app(2, 20)}, {app(3, 0)}}));
        QVERIFY(forward != backward);
        QVERIFY(forward != (Quitter::Report{{app(1, 10), app(2, 20)}, {}}));
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_Report.moc"
