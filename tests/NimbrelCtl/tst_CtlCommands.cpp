#include "CtlCommands.h"
#include "FakeMediaCapture.h"
#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "InUseApps.h"
#include "TestApps.h"

#include <QCoroTask>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace
{

constexpr quint64 MiB = 1024 * 1024;

} // namespace

class TestCtlCommands : public QObject
{
    Q_OBJECT

    FakeWorkspace workspace;
    FakeProcessInfo processes;
    FakeMediaCapture capture;
    InUseApps inUseApps{capture, processes};
    QString out, err;
    QTextStream outStream{&out}, errStream{&err};

    int run(const QStringList& arguments, CtlCommands::Stored stored = {})
    {
        out.clear();
        err.clear();
        const auto parsed = CtlArguments::parse(arguments);
        CtlCommands commands(workspace, processes, std::move(stored), {QStringLiteral("me")},
                             outStream, errStream);
        commands.setInUseApps(inUseApps);
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
        capture.capturing.clear();
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
        QCOMPARE(notes.keys(), (QStringList{"categories", "desktopFile", "desktopId", "inUse",
                                            "memory", "name", "pid"}));
        QVERIFY(notes.value("desktopId").isNull());
        QCOMPARE(notes.value("pid").toInt(), 103);
    }

    void listsAsTable()
    {
        // Only its window vouches for this app: no pid of its own, nothing measured.
        workspace.addApp(TestApps::running(-7, QStringLiteral("Window Only")));
        QCOMPARE(run({"list"}), int(CtlCommands::success));
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].contains("900 MB") && lines[0].contains("steam"), qPrintable(out));
        QVERIFY2(lines[2].contains("Notes") && lines[2].contains(" - "), qPrintable(out));
        QVERIFY2(lines[3].trimmed().startsWith("-  -") && lines[3].contains("Window Only"),
                 qPrintable(out));
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
        QCOMPARE(plan.value("toQuit").toArray()[0].toObject().value("desktopId").toString(),
                 QStringLiteral("steam"));
        QVERIFY(workspace.quitRequests.isEmpty());
    }

    void callKeepsAppsInUseAndSaysWhy()
    {
        // Steam's helper records: Steam is on a call, whatever its tables say.
        processes.add(150, {.parent = 101});
        capture.capturing = {150};
        QCOMPARE(run({"plan", "--json", "--preset", "call"}), int(CtlCommands::success));
        const QJsonArray kept = jsonOut()[QStringLiteral("kept")].toArray();
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0][QStringLiteral("name")].toString(), QStringLiteral("Steam"));
        QCOMPARE(kept[0][QStringLiteral("inUse")].toBool(), true);
        QCOMPARE(jsonOut()[QStringLiteral("toQuit")][0][QStringLiteral("inUse")].toBool(true),
                 false);

        QCOMPARE(run({"plan", "--preset", "call"}), int(CtlCommands::success));
        const QString keeps = out.mid(out.indexOf(QStringLiteral("Keeps 1:")));
        QVERIFY2(keeps.contains(QStringLiteral("steam")) &&
                     keeps.contains(QStringLiteral("(in use: camera or microphone)")),
                 qPrintable(out));
        QCOMPARE(out.count(QStringLiteral("in use")), 1);
    }

    void dryRunSendsNothing()
    {
        QCOMPARE(run({"quit", "--dry-run"}), int(CtlCommands::success));
        QVERIFY(out.contains("Quits 3"));
        QVERIFY(workspace.quitRequests.isEmpty());
    }

    void quitReportsProgressAndStillOpenApps()
    {
        workspace.onQuitRequest = [this](pid_t pid) {
            if (pid != 102) // the editor has unsaved work
                workspace.endApp(pid);
        };
        workspace.stillOpenReasons.insert(102, StillOpenReason::askingToSave);
        QCOMPARE(run({"quit", "--timeout", "0.05"}), int(CtlCommands::appsStillOpen));
        QVERIFY2(out.contains(QStringLiteral("Closing… 1 of 3")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("Closing… 2 of 3")), qPrintable(out));
        QVERIFY2(out.startsWith(QStringLiteral("Closing…")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("Closed 2 apps, freed 1,000 MB")), qPrintable(out));
        const qsizetype stillOpen = out.indexOf(QStringLiteral("Still open"));
        QVERIFY(stillOpen > 0 && out.indexOf(QStringLiteral("Editor"), stillOpen) > stillOpen);
        QVERIFY2(out.trimmed().endsWith(QStringLiteral("Asking to save")), qPrintable(out));
    }

    void quitAsJsonSaysWhyAppsAreStillOpen()
    {
        TestApps::addRunning(workspace, processes, 105, "Terminal", QStringLiteral("xterm"),
                             10 * MiB);
        workspace.stillOpenReasons = {{101, StillOpenReason::notResponding},
                                      {102, StillOpenReason::askingToSave},
                                      {105, StillOpenReason::cannotBeAsked}};
        workspace.forceQuitStates = {{102, ForceQuitState::otherUser},
                                     {105, ForceQuitState::unverified}};
        QCOMPARE(run({"quit", "--json", "--preset", "everything", "--timeout", "0.05"}),
                 int(CtlCommands::appsStillOpen));
        QHash<QString, QJsonValue> reasons, forceQuit;
        for (const QJsonValue app : jsonOut()[QStringLiteral("stillOpen")].toArray()) {
            reasons.insert(app[QStringLiteral("name")].toString(), app[QStringLiteral("reason")]);
            forceQuit.insert(app[QStringLiteral("name")].toString(),
                             app[QStringLiteral("forceQuit")]);
        }
        QCOMPARE(reasons, (QHash<QString, QJsonValue>{{"Steam", "notResponding"},
                                                      {"Editor", "askingToSave"},
                                                      {"Notes", QJsonValue::Null},
                                                      {"Terminal", "cannotBeAsked"}}));
        QCOMPARE(forceQuit, (QHash<QString, QJsonValue>{{"Steam", "possible"},
                                                        {"Editor", "otherUser"},
                                                        {"Notes", "possible"},
                                                        {"Terminal", "unverified"}}));
    }

    void saysWhatTheListLeavesOut_data()
    {
        QTest::addColumn<bool>("partial");
        QTest::addColumn<int>("status");
        QTest::newRow("native Wayland apps") << true << int(CtlCommands::success);
        QTest::newRow("no window manager tells") << false << int(CtlCommands::failure);
    }

    void saysWhatTheListLeavesOut()
    {
        QFETCH(bool, partial);
        QFETCH(int, status);
        workspace.gap = Workspace::ListingGap{QStringLiteral("reason"), partial};
        QCOMPARE(run({"plan", "--json", "--preset", "everything"}), status);
        QVERIFY2(err.contains(QStringLiteral("reason")), qPrintable(err));
        QCOMPARE(jsonOut()[QStringLiteral("partial")].toBool(false), partial);
        QVERIFY(out.isEmpty() || partial);
    }

    // The display gone: the wait ends at once, nothing still open counts as closed, exit 1.
    void quitEndsWhenTheDesktopIsLost()
    {
        workspace.onQuitRequest = [this](pid_t pid) {
            if (pid == 101)
                workspace.endApp(pid);
            else
                QTimer::singleShot(0,
                                   [this] { workspace.notifyTerminated(Workspace::desktopLost); });
        };
        QCOMPARE(run({"quit", "--timeout", "600", "--preset", "everything"}),
                 int(CtlCommands::failure));
        QVERIFY2(err.contains(QStringLiteral("the display went away")), qPrintable(err));
        QVERIFY2(out.contains(QStringLiteral("Closed 1 app")), qPrintable(out));
    }

    void quitAsJsonKeepsProgressOffStdout()
    {
        workspace.onQuitRequest = [this](pid_t pid) { workspace.endApp(pid); };
        QCOMPARE(run({"quit", "--json", "--preset", "work", "--timeout", "1"}),
                 int(CtlCommands::success));
        const QJsonObject report = jsonOut().toObject();
        QCOMPARE(report.value("closed").toArray().size(), 1);
        QVERIFY(report.value("stillOpen").toArray().isEmpty());
        QCOMPARE(report.value("freed").toDouble(), double(900 * MiB));
        QCOMPARE(report.value("headline").toString(), QStringLiteral("Closed 1 app, freed 900 MB"));
        QVERIFY(err.contains(QStringLiteral("Closing… 1 of 1")));
        QCOMPARE(workspace.quitRequests, QList<pid_t>{101});
    }

    void forceQuitOnlyListedApps()
    {
        QCOMPARE(run({"force-quit", "104"}), int(CtlCommands::badArguments)); // never offered
        QVERIFY(workspace.forceQuitRequests.isEmpty());

        QCOMPARE(run({"force-quit", "102", "--json"}), int(CtlCommands::success));
        QCOMPARE(workspace.forceQuitRequests, QList<pid_t>{102});
        QVERIFY(jsonOut().toObject().value("forceQuit").toBool());

        workspace.forceQuitResult = false;
        QCOMPARE(run({"force-quit", "101"}), int(CtlCommands::failure));
        QVERIFY(err.contains("could not be force quit"));

        // Another user's process is never signalled.
        workspace.forceQuitStates.insert(103, ForceQuitState::otherUser);
        QCOMPARE(run({"force-quit", "103"}), int(CtlCommands::failure));
        QVERIFY2(err.contains("Can't be force quit: it runs as another user"), qPrintable(err));
        QCOMPARE(workspace.forceQuitRequests, (QList<pid_t>{102, 101}));
    }

    void forceQuitOutcomes_data()
    {
        QTest::addColumn<pid_t>("pid");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("gone before listing")
            << pid_t(4343) << int(CtlCommands::failure) << "may have ended already";
        QTest::newRow("running, never an app")
            << pid_t(4344) << int(CtlCommands::badArguments) << "not the pid of a listed app";
    }

    void forceQuitOutcomes()
    {
        QFETCH(pid_t, pid);
        QFETCH(int, status);
        QFETCH(QString, said);
        processes.add(4344, {});
        QCOMPARE(run({"force-quit", QString::number(pid)}), status);
        QVERIFY2(err.contains(said), qPrintable(err));
        QVERIFY(workspace.forceQuitRequests.isEmpty());
    }

    void forceQuitLeavesMemoryUnmeasured()
    {
        QCOMPARE(run({"force-quit", "101", "--json"}), int(CtlCommands::success));
        const QJsonObject app = jsonOut().toObject().value("app").toObject();
        QCOMPARE(app.value("pid").toInt(), 101);
        QVERIFY2(app.value("memory").isNull(), qPrintable(out));
    }

    void quitKeepsAppsNamedOnTheCommandLine()
    {
        workspace.onQuitRequest = [this](pid_t pid) { workspace.endApp(pid); };
        QCOMPARE(run({"quit", "--keep", "steam", "--keep", "Notes", "--timeout", "1"}),
                 int(CtlCommands::success));
        QCOMPARE(workspace.quitRequests, QList<pid_t>{102});
    }

    void textEscapesControlCharacters_data()
    {
        // A name is cleaned where it is listed (ShownText::oneLine); the desktop ID, given the
        // same text here, is escaped.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::newRow("terminal title") << "\x1b]0;owned\x07"
                                           "Evil"
                                        << "\uFFFD]0;owned\uFFFDEvil"
                                        << "\\x1b]0;owned\\x07Evil";
        QTest::newRow("forged row") << "Evil\n  9 GB  1  Forged"
                                    << "Evil   9 GB  1  Forged"
                                    << "Evil\\x0a  9 GB  1  Forged";
        QTest::newRow("carriage return and C1") << QString::fromUtf8("A\rB\u009bC") << "A B\uFFFDC"
                                                << "A\\x0dB\\x9bC";
        QTest::newRow("right-to-left override")
            << QString::fromUtf8("Invoice \u202Etxt.exe") << "Invoice txt.exe"
            << "Invoice \\u202etxt.exe";
        QTest::newRow("ordinary text stays")
            << QString::fromUtf8("Éditeur — 文") << QString::fromUtf8("Éditeur — 文")
            << QString::fromUtf8("Éditeur — 文");
    }

    void textEscapesControlCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, id);
        TestApps::addRunning(workspace, processes, 105, text, text, 2000 * MiB);
        QCOMPARE(run({"list"}), int(CtlCommands::success));
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        const qsizetype nameAt = lines[0].indexOf(name);
        QVERIFY2(nameAt > 0 && lines[0].indexOf(id, nameAt + name.size()) > 0,
                 qPrintable(lines[0]));
        const auto safeOnATerminal = [](const QString& written) {
            return std::all_of(written.begin(), written.end(), [](QChar character) {
                return character == '\n' || (character.category() != QChar::Other_Control &&
                                             character.unicode() != 0x202E);
            });
        };
        QVERIFY(safeOnATerminal(out));

        // JSON keeps the ID as it is, written so that a terminal shows it as text too.
        out.clear();
        QCOMPARE(run({"list", "--json"}), int(CtlCommands::success));
        QVERIFY2(safeOnATerminal(out), qPrintable(out));
        const QJsonArray apps = QJsonDocument::fromJson(out.toUtf8()).array();
        QCOMPARE(apps.size(), 4);
        QCOMPARE(apps[0][QStringLiteral("desktopId")].toString(), text);
    }

    // One very long name takes the room it needs on its own line, not on every line.
    void longNamePadsOnlyItsOwnLine()
    {
        const QString longName(10000, QLatin1Char('n'));
        TestApps::addRunning(workspace, processes, 105, longName, std::nullopt, 2000 * MiB);
        QCOMPARE(run({"list"}), int(CtlCommands::success));
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].size() < 300, qPrintable(lines[0]));
        for (const QString& line : lines.mid(1))
            QVERIFY2(line.size() < 100, qPrintable(line));
    }

    void unreadableStoredChoices_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<pid_t>>("asked");
        QTest::newRow("list") << QStringList{"list"} << int(CtlCommands::success) << QList<pid_t>{};
        QTest::newRow("plan") << QStringList{"plan"} << int(CtlCommands::success) << QList<pid_t>{};
        QTest::newRow("dry run") << QStringList{"quit", "--dry-run"} << int(CtlCommands::success)
                                 << QList<pid_t>{};
        QTest::newRow("quit on stored choices") << QStringList{"quit", "--timeout", "1"}
                                                << int(CtlCommands::badArguments) << QList<pid_t>{};
        QTest::newRow("quit with keep only")
            << QStringList{"quit", "--keep", "steam", "--timeout", "1"}
            << int(CtlCommands::badArguments) << QList<pid_t>{};
        QTest::newRow("quit with a preset")
            << QStringList{"quit", "--preset", "work", "--timeout", "1"}
            << int(CtlCommands::success) << QList<pid_t>{101};
    }

    void unreadableStoredChoices()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QList<pid_t>, asked);
        workspace.onQuitRequest = [this](pid_t pid) { workspace.endApp(pid); };
        const CtlCommands::Stored stored{
            QuitPreset::everything, {}, QStringLiteral("/home/u/nimbrel.conf is damaged")};
        QCOMPARE(run(arguments, stored), status);
        QVERIFY2(err.contains("stored choices cannot be read (/home/u/nimbrel.conf is damaged)"),
                 qPrintable(err));
        QCOMPARE(workspace.quitRequests, asked);
    }
};

QTEST_GUILESS_MAIN(TestCtlCommands)
#include "tst_CtlCommands.moc"
