#include "ProcStat.h"

#include <QTest>

#include <unistd.h>

class TestProcStat : public QObject
{
    Q_OBJECT

private slots:
    void parsesRecords_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("parent");
        QTest::addColumn<quint64>("startTime");
        QTest::addColumn<bool>("kernelThread");
        const QByteArray tail = " S 77 1 1 0 -1 4194304 0 0 0 0 0 0 0 0 20 0 1 0 123456 0 0\n";
        QTest::newRow("plain") << QByteArray("12 (bash)" + tail) << true << 77 << quint64(123456)
                               << false;
        QTest::newRow("name with spaces and parentheses")
            << QByteArray("12 (a) b (c))" + tail) << true << 77 << quint64(123456) << false;
        QTest::newRow("kernel thread")
            << QByteArray("2 (kthreadd) S 0 0 0 0 -1 2129984 0 0 0 0 0 0 0 0 20 0 1 0 5 0 0\n")
            << true << 0 << quint64(5) << true;
        QTest::newRow("cut short")
            << QByteArray("12 (bash) S 77 1 1 0") << false << 0 << quint64(0) << false;
        QTest::newRow("no name") << QByteArray("12 bash S 77") << false << 0 << quint64(0) << false;
        QTest::newRow("garbage parent")
            << QByteArray("12 (x) S zz 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 9 0 0") << false << 0
            << quint64(0) << false;
    }

    void parsesRecords()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, valid);
        const std::optional<ProcStat> stat = ProcStat::parse(record);
        QCOMPARE(stat.has_value(), valid);
        if (!valid)
            return;
        QTEST(int(stat->parent), "parent");
        QTEST(stat->startTime, "startTime");
        QTEST(stat->kernelThread, "kernelThread");
    }

    void readsOwnProcess()
    {
        const std::optional<ProcStat> own = ProcStat::read(QStringLiteral("/proc"), getpid());
        QVERIFY(own);
        QCOMPARE(own->parent, getppid());
        QVERIFY(own->startTime > 0);
        QVERIFY(!ProcStat::read(QStringLiteral("/proc"), 0x7ffffff0));
    }
};

QTEST_GUILESS_MAIN(TestProcStat)
#include "tst_ProcStat.moc"
