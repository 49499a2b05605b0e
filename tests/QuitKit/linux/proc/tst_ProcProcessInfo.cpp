#include "ProcFixture.h"
#include "ProcProcessInfo.h"
#include "ProcStat.h"

#include <QDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

class TestProcProcessInfo : public QObject
{
    Q_OBJECT

private slots:
    void listsProcessesButNotKernelThreads()
    {
        ProcFixture proc;
        proc.add(1, {.parent = 0});
        proc.add(2, {.parent = 0, .kernelThread = true});
        proc.add(17, {.parent = 2, .kernelThread = true});
        proc.add(300, {.parent = 1, .startTime = 4711});
        proc.add(42, {.parent = 300});
        proc.addVanished(77);
        // Folders that are not processes.
        proc.write(0, QStringLiteral("stat"), "0 (idle) S 0 0 0");
        proc.write(-1, QStringLiteral("stat"), "bogus");
        QDir(proc.root()).mkdir(QStringLiteral("self"));

        const ProcProcessInfo info(proc.root());
        QCOMPARE(info.allPids(), (QList<pid_t>{1, 42, 77, 300}));
        QCOMPARE(info.allRecords(),
                 (QList<ProcessRecord>{{1, 0, 100}, {42, 300, 100}, {300, 1, 4711}}));
        QCOMPARE(info.parent(42), std::optional<pid_t>(300));
        QCOMPARE(info.startTime(300), std::optional<quint64>(4711));
        QCOMPARE(info.parent(77), std::nullopt);
        QCOMPARE(info.startTime(77), std::nullopt);
        proc.write(42, QStringLiteral("stat"), "42 (cut short) S 300 1 1");
        QCOMPARE(info.parent(42), std::nullopt);
    }

    void footprint_data()
    {
        QTest::addColumn<QByteArray>("rollup"); // null: no such file
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<qint64>("kilobytes"); // -1: absent
        QTest::addColumn<qint64>("estimate");  // kilobytes footprintEstimate() gives; -1: absent
        const QByteArray status =
            "Name:\tx\nVmRSS:\t  900 kB\nRssAnon:\t  300 kB\nRssFile:\t  500 kB\n"
            "RssShmem:\t   20 kB\nVmSwap:\t    5 kB\n";
        QTest::newRow("rollup") << QByteArray("7f00-7fff ---p 00000000 00:00 0 [rollup]\n"
                                              "Rss:  900 kB\nPss:  600 kB\nPss_Anon:  210 kB\n"
                                              "Pss_File:  370 kB\nPss_Shmem:  15 kB\n"
                                              "Private_Hugetlb:  2048 kB\nSwap:  9 kB\n"
                                              "SwapPss:  4 kB\n")
                                << status << qint64(210 + 15 + 2048 + 4) << qint64(300 + 20 + 5);
        QTest::newRow("rollup before 5.3: no Pss_Anon")
            << QByteArray("Rss:  900 kB\nPss:  600 kB\nSwap:  9 kB\n") << status
            << qint64(300 + 20 + 5) << qint64(300 + 20 + 5);
        QTest::newRow("no rollup")
            << QByteArray() << status << qint64(300 + 20 + 5) << qint64(300 + 20 + 5);
        QTest::newRow("zombie") << QByteArray() << QByteArray("Name:\tx\nState:\tZ (zombie)\n")
                                << qint64(-1) << qint64(-1);
        QTest::newRow("status without swap")
            << QByteArray() << QByteArray("RssAnon:\t 64 kB\nRssShmem:\t 0 kB\n") << qint64(64)
            << qint64(64);
    }

    void footprint()
    {
        QFETCH(QByteArray, rollup);
        QFETCH(QByteArray, status);
        QFETCH(qint64, kilobytes);
        QFETCH(qint64, estimate);
        ProcFixture proc;
        proc.addVanished(9);
        if (!rollup.isNull())
            proc.write(9, QStringLiteral("smaps_rollup"), rollup);
        proc.write(9, QStringLiteral("status"), status);
        const ProcProcessInfo info(proc.root());
        const auto inBytes = [](qint64 kb) {
            return kb < 0 ? std::nullopt : std::optional(quint64(kb) * 1024);
        };
        QCOMPARE(info.footprint(9), inBytes(kilobytes));
        QCOMPARE(info.footprintEstimate(9), inBytes(estimate));
    }

    void vanishedProcessHasNothing()
    {
        ProcFixture proc;
        proc.addVanished(9);
        const ProcProcessInfo info(proc.root());
        QCOMPARE(info.footprint(9), std::nullopt);
        QCOMPARE(info.footprint(10), std::nullopt);
        QCOMPARE(info.appUnit(9), std::nullopt);
    }

    void appUnit_data()
    {
        QTest::addColumn<QByteArray>("cgroup");
        QTest::addColumn<QString>("unit");
        QTest::newRow("app scope")
            << QByteArray("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                          "app-gnome-org.gnome.gedit-2001.scope\n")
            << "app-gnome-org.gnome.gedit-2001.scope";
        QTest::newRow("hybrid")
            << QByteArray("4:memory:/user.slice\n1:name=systemd:/user.slice/user-1000.slice/"
                          "user@1000.service/app.slice/app-org.kde.kate@f00d.service\n0::/\n")
            << "app-org.kde.kate@f00d.service";
        QTest::newRow("no app unit") << QByteArray("0::/system.slice/cron.service\n") << QString();
    }

    void appUnit()
    {
        QFETCH(QByteArray, cgroup);
        QFETCH(QString, unit);
        ProcFixture proc;
        proc.write(5, QStringLiteral("cgroup"), cgroup);
        QCOMPARE(ProcProcessInfo(proc.root()).appUnit(5).value_or(QString()), unit);
    }

    void readsLiveProcesses()
    {
        const ProcProcessInfo info;
        QCOMPARE(info.ownPid(), getpid());
        QVERIFY(info.allPids().contains(getpid()));
        QCOMPARE(info.parent(getpid()), std::optional(getppid()));
        QCOMPARE(info.startTime(getpid()),
                 std::optional(ProcStat::read(QStringLiteral("/proc"), getpid())->startTime));
        QVERIFY(info.footprint(getpid()).value_or(0) > 0);
    }

    void recordsAgreeWithAnIndependentReading()
    {
        // This process and its parent keep their records while the test runs; others may not.
        const QList<pid_t> stable{getpid(), getppid()};
        int compared = 0;
        for (const ProcessRecord& record : ProcProcessInfo().allRecords()) {
            if (!stable.contains(record.pid))
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(record.pid));
            QVERIFY(stat.open(QIODevice::ReadOnly));
            const QString text = QString::fromLatin1(stat.readAll());
            // Fields 4 (parent) and 22 (start time) follow the name's closing parenthesis.
            const QStringList fields =
                text.mid(text.lastIndexOf(u')') + 1).split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(fields.value(1).toInt(), record.parent);
            QCOMPARE(fields.value(19).toULongLong(), record.startTime);
            ++compared;
        }
        QCOMPARE(compared, 2);
    }

    void endedChildHasNoFootprint()
    {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0)
            _exit(0);
        const ProcProcessInfo info;
        // Until it is reaped the child is a zombie: listed, with a parent, but no memory.
        QTRY_COMPARE_WITH_TIMEOUT(ProcStat::read(QStringLiteral("/proc"), child)->state, 'Z',
                                  10000);
        QCOMPARE(info.parent(child), std::optional(getpid()));
        QCOMPARE(info.footprint(child), std::nullopt);
        QCOMPARE(waitpid(child, nullptr, 0), child);
        QCOMPARE(info.footprint(child), std::nullopt);
        QCOMPARE(info.parent(child), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestProcProcessInfo)
#include "tst_ProcProcessInfo.moc"
