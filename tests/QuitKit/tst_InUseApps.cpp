#include "FakeProcessInfo.h"
#include "InUseApps.h"

#include <QTest>

namespace
{

const QString editorUnit = QStringLiteral("app-gnome-org.example.Editor-100.scope");
constexpr pid_t editor = 100, browser = 200;

} // namespace

class TestInUseApps : public QObject
{
    Q_OBJECT

private slots:
    void ownersAreTheAppsOfTheRecorders_data()
    {
        QTest::addColumn<QSet<pid_t>>("capturing");
        QTest::addColumn<QSet<pid_t>>("inUse");
        QTest::newRow("the app itself") << QSet<pid_t>{editor} << QSet<pid_t>{editor};
        QTest::newRow("its renderer's utility child") << QSet<pid_t>{202} << QSet<pid_t>{browser};
        QTest::newRow("a helper its unit started elsewhere")
            << QSet<pid_t>{110} << QSet<pid_t>{editor};
        QTest::newRow("a recorder of no app") << QSet<pid_t>{120} << QSet<pid_t>{};
        QTest::newRow("a recorder that has ended") << QSet<pid_t>{999} << QSet<pid_t>{};
        QTest::newRow("one recorder per app")
            << QSet<pid_t>{101, 202, 120} << QSet<pid_t>{editor, browser};
    }

    void ownersAreTheAppsOfTheRecorders()
    {
        QFETCH(QSet<pid_t>, capturing);
        QFETCH(QSet<pid_t>, inUse);
        FakeProcessInfo processes;
        processes.add(editor, {.startTime = 1000, .appUnit = editorUnit});
        processes.add(101, {.parent = editor, .startTime = 1001, .appUnit = editorUnit});
        processes.add(110, {.startTime = 1005, .appUnit = editorUnit});
        processes.add(120, {.startTime = 900});
        processes.add(browser, {.startTime = 2000});
        processes.add(201, {.parent = browser, .startTime = 2001});
        processes.add(202, {.parent = 201, .startTime = 2002});
        QCOMPARE(InUseApps::owners(processes, capturing, {editor, browser, 300}), inUse);
    }
};

QTEST_GUILESS_MAIN(TestInUseApps)
#include "tst_InUseApps.moc"
