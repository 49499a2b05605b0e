#include "CtlCommands.h"
#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "TestApps.h"

#include <QCoroTask>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTest>
#include <QTextStream>

namespace
{

constexpr quint64 MiB = 1024 * 1024;

} // namespace

class TestCtlCommands : public QObject
{
    Q_OBJECT

    FakeWorkspace workspace;
    FakeProcessInfo processes;
    QString out, err;
    QTextStream outStream{&out}, errStream{&err};

    int run(const QStringList& arguments, CtlCommands::Stored stored = {})
    {
        out.clear();
        err.clear();
        const auto parsed = CtlArguments::parse(arguments);
        CtlCommands commands(workspace, processes, std::move(stored), {QStringLiteral("me")},
                             outStream, errStream);
        const int status = QCoro::waitFor(commands.run(std::get<CtlArguments>(parsed)));
        outStream.flush();
        errStream.flush();
        return status;
    }

    QJsonValue jsonOut() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        workspace = FakeWorkspace();
        processes = FakeProcessInfo();
        const struct {
            pid_t pid;
            const char* name;
            std::optional<QString> id;
            quint64 memory;
        } apps[] = {{101, "Steam", QStringLiteral("steam"), 900 * MiB},
                    {102, "Editor", QStringLiteral("org.example.Editor"), 300 * MiB},
                    {103, "Notes", std::nullopt, 100 * MiB},
                    {104, "Nimbrel", QStringLiteral("me"), 50 * MiB}};
        for (const auto& a : apps)
            TestApps::addRunning(workspace, processes, a.pid, QString::fromUtf8(a.name), a.id,
                                 a.memory);
    }

    void listsLargestFirstAsJson()
    {
        QCOMPARE(run({"list", "--json"}), int(CtlCommands::success));
        const QJsonArray apps = QJsonDocument::fromJson(out.toUtf8()).array();
        QCOMPARE(apps.size(), 3); // the program itself is never offered
        QCOMPARE(apps[0].toObject().value("name").toString(), QStringLiteral("Steam"));
        QCOMPARE(apps[0].toObject().value("memory").toDouble(), double(900 * MiB));
        const QJsonObject notes = apps[2].toObject();
        QCOMPARE(notes.keys(),
                 (QStringList{"bundleID", "bundleURL", "category", "memory", "name", "pid"}));
        QVERIFY(notes.value("bundleID").isNull());
        QCOMPARE(notes.value("pid").toInt(), 103);
    }

    void listsAsTable()
    {
        QCOMPARE(run({"list"}), int(CtlCommands::success));
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].contains("900 MB") && lines[0].contains("steam"), qPrintable(out));
        QVERIFY2(lines[2].contains("Notes") && lines[2].contains(" - "), qPrintable(out));
    }

    void plansWithStoredChoicesUnlessTold()
    {
        const CtlCommands::Stored stored{QuitPreset::everything, {QStringLiteral("Notes")}};
        QCOMPARE(run({"plan", "--json"}, stored), int(CtlCommands::success));
        QJsonObject plan = jsonOut().toObject();
        QCOMPARE(plan.value("preset").toString(), QStringLiteral("everything"));
        QCOMPARE(plan.value("toQuit").toArray().size(), 2);
        QCOMPARE(plan.value("kept").toArray()[0].toObject().value("name").toString(),
                 QStringLiteral("Notes"));
        QCOMPARE(plan.value("bytes").toDouble(), double(1200 * MiB));

        // --keep replaces the stored set; --preset replaces the stored preset.
        QCOMPARE(
            run({"plan", "--json", "--preset", "work", "--keep", "org.example.Editor"}, stored),
            int(CtlCommands::success));
        plan = jsonOut().toObject();
        QCOMPARE(plan.value("preset").toString(), QStringLiteral("work"));
        QCOMPARE(plan.value("toQuit").toArray().size(), 1);
        QCOMPARE(plan.value("toQuit").toArray()[0].toObject().value("bundleID").toString(),
                 QStringLiteral("steam"));
        QVERIFY(workspace.terminateRequests.isEmpty());
    }

    void dryRunSendsNothing()
    {
        QCOMPARE(run({"quit", "--dry-run"}), int(CtlCommands::success));
        QVERIFY(out.contains("Quits 3"));
        QVERIFY(workspace.terminateRequests.isEmpty());
    }

    void quitReportsProgressAndStillOpenApps()
    {
        workspace.onTerminate = [this](pid_t pid) {
            if (pid != 102) // the editor has unsaved work
                workspace.endApp(pid);
        };
        QCOMPARE(run({"quit", "--timeout", "0.05"}), int(CtlCommands::appsStillOpen));
        QVERIFY2(out.contains(QStringLiteral("Closing… 1 of 3")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("Closing… 2 of 3")), qPrintable(out));
        QVERIFY2(out.startsWith(QStringLiteral("Closing…")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("Closed 2 apps, freed 1,000 MB")), qPrintable(out));
        const qsizetype stillOpen = out.indexOf(QStringLiteral("Still open"));
        QVERIFY(stillOpen > 0 && out.indexOf(QStringLiteral("Editor"), stillOpen) > stillOpen);
    }

    void quitAsJsonKeepsProgressOffStdout()
    {
        workspace.onTerminate = [this](pid_t pid) { workspace.endApp(pid); };
        QCOMPARE(run({"quit", "--json", "--preset", "work", "--timeout", "1"}),
                 int(CtlCommands::success));
        const QJsonObject report = jsonOut().toObject();
        QCOMPARE(report.value("closed").toArray().size(), 1);
        QVERIFY(report.value("stillOpen").toArray().isEmpty());
        QCOMPARE(report.value("freed").toDouble(), double(900 * MiB));
        QCOMPARE(report.value("headline").toString(), QStringLiteral("Closed 1 app, freed 900 MB"));
        QVERIFY(err.contains(QStringLiteral("Closing… 1 of 1")));
        QCOMPARE(workspace.terminateRequests, QList<pid_t>{101});
    }

    void forceQuitOnlyListedApps()
    {
        QCOMPARE(run({"force-quit", "4242"}), int(CtlCommands::badArguments));
        QVERIFY(err.contains("not the pid of a listed app"));
        QCOMPARE(run({"force-quit", "104"}), int(CtlCommands::badArguments)); // never offered
        QVERIFY(workspace.forceTerminateRequests.isEmpty());

        QCOMPARE(run({"force-quit", "102", "--json"}), int(CtlCommands::success));
        QCOMPARE(workspace.forceTerminateRequests, QList<pid_t>{102});
        QVERIFY(jsonOut().toObject().value("forceQuit").toBool());

        workspace.forceTerminateResult = false;
        QCOMPARE(run({"force-quit", "101"}), int(CtlCommands::failure));
        QVERIFY(err.contains("could not be force quit"));
    }
};

QTEST_GUILESS_MAIN(TestCtlCommands)
#include "tst_CtlCommands.moc"
