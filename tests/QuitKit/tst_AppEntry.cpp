#include "AppEntry.h"

#include <QSet>
#include <QTest>

#include <unordered_set>

class TestAppEntry : public QObject
{
    Q_OBJECT

private:
    static AppEntry sample()
    {
        return AppEntry{7,
                        QStringLiteral("Editor"),
                        QStringLiteral("org.example.Editor"),
                        QStringLiteral("/usr/share/applications/org.example.Editor.desktop"),
                        100,
                        QStringList{QStringLiteral("Office")}};
    }

private slots:
    void equalityCoversEveryField_data()
    {
        QTest::addColumn<AppEntry>("changed");
        AppEntry e = sample();
        e.pid = 8;
        QTest::newRow("pid") << e;
        e = sample();
        e.name = QStringLiteral("editor");
        QTest::newRow("name differs only in case") << e;
        e = sample();
        e.desktopId.reset();
        QTest::newRow("desktop ID absent") << e;
        e = sample();
        e.desktopFile = QString();
        QTest::newRow("desktop file present but empty") << e;
        e = sample();
        e.memory = 101;
        QTest::newRow("memory") << e;
        e = sample();
        e.categories.clear();
        QTest::newRow("categories absent") << e;
    }

    void equalityCoversEveryField()
    {
        QFETCH(AppEntry, changed);
        QVERIFY(!(changed == sample()));
        QCOMPARE(sample(), sample());
    }

    void memoryChangeKeepsIdentity()
    {
        AppEntry later = sample();
        later.memory = 900;
        QVERIFY(later != sample());
        QCOMPARE(later.id(), sample().id());
    }

    void keyIsDesktopIdElseName()
    {
        QCOMPARE(sample().key(), QStringLiteral("org.example.Editor"));
        AppEntry unnamed = sample();
        unnamed.desktopId.reset();
        QCOMPARE(unnamed.key(), QStringLiteral("Editor"));
    }

    void hashesAgreeWithEquality()
    {
        QCOMPARE(qHash(sample()), qHash(sample()));
        // An absent text and an empty one are different values and should not collide.
        AppEntry absent = sample(), empty = sample();
        absent.desktopFile.reset();
        empty.desktopFile = QString();
        QVERIFY(qHash(absent) != qHash(empty));

        AppEntry moved = sample();
        moved.desktopId.reset();
        moved.desktopFile = QStringLiteral("org.example.Editor");
        QVERIFY(qHash(moved) != qHash(sample()));

        QSet<AppEntry> set{sample(), sample(), absent};
        QCOMPARE(set.size(), 2);
        std::unordered_set<AppEntry> stdSet{sample(), empty, absent};
        QCOMPARE(stdSet.size(), size_t(3));
    }
};

QTEST_GUILESS_MAIN(TestAppEntry)
#include "tst_AppEntry.moc"
