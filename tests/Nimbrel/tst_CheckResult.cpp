#include "AtomicWrite.h"
#include "CheckResult.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

class tst_CheckResult : public QObject
{
    Q_OBJECT

private slots:
    void text_data()
    {
        QTest::addColumn<QStringList>("passes");
        QTest::addColumn<QStringList>("failures");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << QStringList() << QStringList() << QStringLiteral("ok\n");
        QTest::newRow("passes only")
            << QStringList{"ok a", "ok b"} << QStringList() << QStringLiteral("ok a\nok b\nok\n");
        QTest::newRow("failures first, in their order, then every pass")
            << QStringList{"ok a", "ok b"} << QStringList{"z broke", "y broke"}
            << QStringLiteral("FAIL z broke\nFAIL y broke\nok a\nok b\nFAILED\n");
        QTest::newRow("failures only")
            << QStringList() << QStringList{"x"} << QStringLiteral("FAIL x\nFAILED\n");
    }

    void text()
    {
        QFETCH(QStringList, passes);
        QFETCH(QStringList, failures);
        QFETCH(QString, text);
        QCOMPARE(CheckResult::text(passes, failures), text);
    }

    void writeReplacesWholeFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("result.txt"));
        QVERIFY(!writeAtomically(path, QByteArray(4096, 'x')));
        QVERIFY(!writeAtomically(path, "ok\n"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("ok\n"));
        QVERIFY(writeAtomically(folder.filePath(QStringLiteral("no/such/dir")), "x"));
    }

    void findWalksSubmenusLastFirst()
    {
        QMenuBar bar;
        QMenu* first = bar.addMenu(QStringLiteral("First"));
        QAction* shallow = first->addAction(QStringLiteral("Twin"));
        QMenu* deep = first->addMenu(QStringLiteral("Deeper"))->addMenu(QStringLiteral("Deepest"));
        QAction* deepest = deep->addAction(QStringLiteral("Only Here"));
        QMenu* last = bar.addMenu(QStringLiteral("Last"));
        QAction* lastTwin = last->addAction(QStringLiteral("Twin"));

        QCOMPARE(CheckResult::find(QStringLiteral("Only Here"), bar), deepest);
        // The walk takes the last entry first, so the later menu's twin is found before the other.
        QCOMPARE(CheckResult::find(QStringLiteral("Twin"), bar), lastTwin);
        QCOMPARE(CheckResult::find(QStringLiteral("Twin"), *first), shallow);
        QCOMPARE(CheckResult::find(QStringLiteral("Last"), bar), last->menuAction());
        QVERIFY(!CheckResult::find(QStringLiteral("twin"), bar));
        QVERIFY(!CheckResult::find(QStringLiteral("Twin"), QMenu()));
    }
};

QTEST_MAIN(tst_CheckResult)
#include "tst_CheckResult.moc"
