#include "DesktopSession.h"
#include "DesktopUser.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestDesktopApps.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace
{

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run nimbrelctl(const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(NIMBRELCTL_PATH), arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QJsonValue json(const Run& run)
{
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8());
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

QStringList identifiers(const QJsonArray& apps)
{
    QStringList ids;
    for (const QJsonValue& app : apps)
        ids.append(app.toObject().value(QStringLiteral("desktopId")).toString());
    return ids;
}

} // namespace

// nimbrelctl as a user runs it, against real apps on a throwaway desktop.
class TestNimbrelCtlDesktop : public QObject
{
    Q_OBJECT

    DesktopSession session;
    QHash<QString, QProcess*> apps; // desktop ID -> process

    bool allListed()
    {
        const QStringList listed = identifiers(
            json(nimbrelctl({QStringLiteral("list"), QStringLiteral("--json")})).toArray());
        return std::all_of(apps.keyBegin(), apps.keyEnd(),
                           [&](const QString& id) { return listed.contains(id); });
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        TestDesktopApps::install(session);
        const QHash<QString, QString> scripts{{QStringLiteral("nimbrel-closer"), "closer.py"},
                                              {QStringLiteral("nimbrel-notes"), "unsaved.py"},
                                              {QStringLiteral("nimbrel-helper"), "helper.py"}};
        for (auto it = scripts.cbegin(); it != scripts.cend(); ++it) {
            QProcess* app = session.startApp(it.value());
            QVERIFY(app->waitForStarted());
            apps.insert(it.key(), app);
        }
        QTRY_VERIFY_WITH_TIMEOUT(allListed(), DesktopSession::appearTimeout);
    }

    void listsLargestFirst()
    {
        const Run run = nimbrelctl({QStringLiteral("list"), QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        const QJsonArray listed = json(run).toArray();
        QCOMPARE(listed.first().toObject().value("desktopId").toString(),
                 QStringLiteral("nimbrel-helper"));
        QVERIFY(listed.first().toObject().value("memory").toDouble() >= 48.0 * (1 << 20));
        for (const QJsonValue& app : listed) {
            const QJsonObject object = app.toObject();
            if (object.value("desktopId").toString() == QLatin1String("nimbrel-closer")) {
                QCOMPARE(object.value("categories").toArray(),
                         (QJsonArray{QStringLiteral("Game"), QStringLiteral("ArcadeGame")}));
                QCOMPARE(object.value("pid").toInt(), int(apps["nimbrel-closer"]->processId()));
            }
        }

        const Run table = nimbrelctl({QStringLiteral("list")});
        QCOMPARE(table.status, 0);
        QVERIFY2(table.out.contains(QStringLiteral("Unsaved Notes")), qPrintable(table.out));
    }

    void plansWithStoredChoicesWithoutChangingThem()
    {
        SettingsStore store = SettingsStore::standard();
        store.set(SettingsKeys::quitPreset, QStringLiteral("work"));
        store.set(SettingsKeys::quitKeep, {QStringLiteral("nimbrel-helper")});
        QFile file(store.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        Run run = nimbrelctl({QStringLiteral("plan"), QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        QJsonObject plan = json(run).toObject();
        QCOMPARE(plan.value("preset").toString(), QStringLiteral("work"));
        QCOMPARE(identifiers(plan.value("toQuit").toArray()), QStringList{"nimbrel-closer"});

        run = nimbrelctl({QStringLiteral("plan"), QStringLiteral("--json"),
                          QStringLiteral("--preset"), QStringLiteral("everything"),
                          QStringLiteral("--keep"), QStringLiteral("nimbrel-closer")});
        plan = json(run).toObject();
        QVERIFY(identifiers(plan.value("toQuit").toArray()).contains("nimbrel-helper"));
        QVERIFY(!identifiers(plan.value("toQuit").toArray()).contains("nimbrel-closer"));

        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void damagedStoredChoicesStayAsTheyAre_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("list") << QStringList{"list"} << 0;
        QTest::newRow("plan") << QStringList{"plan", "--json"} << 0;
        QTest::newRow("dry run") << QStringList{"quit", "--dry-run"} << 0;
        QTest::newRow("quit on them") << QStringList{"quit", "--timeout", "0"} << 2;
    }

    void damagedStoredChoicesStayAsTheyAre()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        const QString path = SettingsStore::suite(QStringLiteral("damaged"))->path();
        const QByteArray damaged("[General\nQuitKeep=nimbrel-helper\n");
        QVERIFY(TestFiles::writeFile(path, damaged));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NIMBREL_DEFAULTS"), QStringLiteral("damaged"));

        const Run run = nimbrelctl(arguments, environment);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(QStringLiteral("stored choices cannot be read")),
                 qPrintable(run.err));
        QCOMPARE(TestFiles::readFile(path), damaged);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList({QStringLiteral("damaged*")}),
                 QStringList{QStringLiteral("damaged.conf")});
        QVERIFY(allListed());
    }

    void quitLeavesUnsavedWorkOpen()
    {
        const Run run = nimbrelctl({QStringLiteral("quit"), QStringLiteral("--preset"),
                                    QStringLiteral("everything"), QStringLiteral("--timeout"),
                                    QStringLiteral("3")});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.out.contains(QStringLiteral("Closing… 1 of 2")), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("Closed 1 app")), qPrintable(run.out));
        const qsizetype stillOpen = run.out.indexOf(QStringLiteral("Still open"));
        QVERIFY2(stillOpen > 0 && run.out.indexOf(QStringLiteral("Unsaved Notes"), stillOpen) > 0,
                 qPrintable(run.out));
        QTRY_COMPARE_WITH_TIMEOUT(apps["nimbrel-closer"]->state(), QProcess::NotRunning,
                                  DesktopSession::appearTimeout);
        QCOMPARE(apps["nimbrel-notes"]->state(), QProcess::Running);
        QCOMPARE(apps["nimbrel-helper"]->state(), QProcess::Running); // kept
    }

    // Requests prepared asynchronously (an app's D-Bus quit action) still go out.
    void quitWithoutWaitingStillAsksEveryApp()
    {
        QProcess* actions = session.startApp(QStringLiteral("actions.py"));
        QTRY_VERIFY_WITH_TIMEOUT(
            identifiers(
                json(nimbrelctl({QStringLiteral("list"), QStringLiteral("--json")})).toArray())
                .contains(QStringLiteral("dev.corvane.NimbrelTest.Actions")),
            DesktopSession::appearTimeout);
        nimbrelctl({QStringLiteral("quit"), QStringLiteral("--preset"),
                    QStringLiteral("everything"), QStringLiteral("--timeout"),
                    QStringLiteral("0")});
        QTRY_COMPARE_WITH_TIMEOUT(actions->state(), QProcess::NotRunning,
                                  DesktopSession::appearTimeout);
    }

    void forceQuitsOnlyListedApps()
    {
        Run run = nimbrelctl(
            {QStringLiteral("force-quit"), QString::number(QCoreApplication::applicationPid())});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("not the pid of a listed app")));

        run = nimbrelctl({QStringLiteral("force-quit"), QStringLiteral("--json"),
                          QString::number(apps["nimbrel-notes"]->processId())});
        QCOMPARE(run.status, 0);
        QVERIFY(json(run).toObject().value("forceQuit").toBool());
        QTRY_COMPARE_WITH_TIMEOUT(apps["nimbrel-notes"]->state(), QProcess::NotRunning,
                                  DesktopSession::appearTimeout);
    }

    void refusesBadArgumentsAndMissingDisplays()
    {
        Run run =
            nimbrelctl({QStringLiteral("quit"), QStringLiteral("--preset"), QStringLiteral("all")});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("unknown preset")));

        QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
        noDisplay.remove(QStringLiteral("DISPLAY"));
        noDisplay.remove(QStringLiteral("WAYLAND_DISPLAY"));
        noDisplay.remove(QStringLiteral("XDG_SESSION_TYPE"));
        run = nimbrelctl({QStringLiteral("list")}, noDisplay);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("no display")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNimbrelCtlDesktop)
#include "tst_NimbrelCtlDesktop.moc"
