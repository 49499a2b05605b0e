#include "DesktopUser.h"
#include "KWinSession.h"
#include "TestFiles.h"
#include "WaylandWorkspace.h"
#include "WorkspaceFactory.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

namespace
{

const QString python = QStringLiteral(NIMBREL_TEST_PYTHON);
const QString notesScript = QStringLiteral(NIMBREL_TEST_APPS_DIR "/unsaved.py");
const QString closerScript = QStringLiteral(NIMBREL_TEST_APPS_DIR "/closer.py");
const QString qtApp = QStringLiteral(PANEL_HOST_PATH);

} // namespace

// The Wayland backend against a real KWin on a virtual output, through KDE Plasma's window
// management: GTK and Qt on Wayland, and a GTK app on its Xwayland.
class TestKWinWorkspace : public QObject
{
    Q_OBJECT

    KWinSession session;
    WaylandApps& clients = session.apps();
    std::unique_ptr<WaylandWorkspace> workspace;
    QList<pid_t> ended;

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_KWIN(session, (QStringList{QCoreApplication::applicationFilePath(),
                                                 QStringLiteral(NIMBRELCTL_PATH)}));
        session.installDesktopEntry(
            QStringLiteral("nimbrel-notes.desktop"),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Unsaved Notes\nExec=%1 %2\n"
                           "StartupWMClass=nimbrel-unsaved-notes\n")
                .arg(python, notesScript));
        workspace = std::make_unique<WaylandWorkspace>(QByteArray(), QString());
        QVERIFY2(!workspace->problem(), qPrintable(workspace->problem().value_or(QString())));
        QCOMPARE(workspace->backendName(),
                 QStringLiteral("Wayland (KDE Plasma window management)"));
        workspace->addTerminationObserver([this](pid_t pid) { ended.append(pid); });
    }

    void cleanup()
    {
        clients.stopAll();
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplications().isEmpty(),
                                 KWinSession::appearTimeout);
        ended.clear();
    }

    // A one-shot listing hears every window KWin announces on binding, and waits for their
    // details, which KWin sends only a round trip later.
    void nimbrelctlListsNativeApps()
    {
        const pid_t native = clients.startListed(*workspace, qtApp, {});
        QVERIFY(native);
        QProcess nimbrelctl;
        nimbrelctl.start(
            QStringLiteral(NIMBRELCTL_PATH),
            {QStringLiteral("list"), QStringLiteral("--json"), QStringLiteral("--verbose")});
        QVERIFY(nimbrelctl.waitForFinished(KWinSession::appearTimeout));
        QCOMPARE(nimbrelctl.exitCode(), 0);
        const QByteArray said = nimbrelctl.readAllStandardError();
        QVERIFY2(said.contains("desktop backends: X11 + Wayland (KDE Plasma window management)"),
                 said.constData());
        const QByteArray output = nimbrelctl.readAllStandardOutput();
        QList<pid_t> listed;
        for (const QJsonValue app : QJsonDocument::fromJson(output).array())
            listed.append(pid_t(app.toObject().value(QLatin1String("pid")).toInteger()));
        QVERIFY2(listed == QList<pid_t>{native}, (output + said).constData());
    }

    void listsNativeAppsByVerifiedPid_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("desktopId");
        QTest::newRow("GTK, named by StartupWMClass")
            << python << QStringList{notesScript} << "Unsaved Notes"
            << "nimbrel-notes";
        QTest::newRow("Qt") << qtApp << QStringList{} << "panel_host"
                            << "";
    }

    void listsNativeAppsByVerifiedPid()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const pid_t pid = clients.startListed(*workspace, program, arguments);
        QVERIFY(pid);
        const std::optional<RunningApplication> app = workspace->runningApplication(pid);
        QTEST(app->name.value_or(QString()), "name");
        QTEST(app->desktopId.value_or(QString()), "desktopId");
        QVERIFY(app->onTaskbar);
        QVERIFY(!app->hasExited);
        QCOMPARE(WaylandApps::countOf(workspace->runningApplications(), pid), 1);
    }

    void politeQuit_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Qt closes") << qtApp << QStringList{} << true;
        QTest::newRow("GTK with unsaved text asks") << python << QStringList{notesScript} << false;
    }

    void politeQuit()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, closes);
        const QString log = session.scratchPath(QStringLiteral("notes.log"));
        QFile::remove(log);
        const pid_t pid = clients.startListed(*workspace, program, arguments,
                                              {{QStringLiteral("NIMBREL_TEST_LOG"), log}});
        QVERIFY(pid);
        QVERIFY(workspace->requestQuit(pid));
        if (closes) {
            QTRY_VERIFY_WITH_TIMEOUT(ended.contains(pid), KWinSession::appearTimeout);
            QCOMPARE(workspace->runningApplication(pid), std::nullopt);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(TestFiles::readFile(log).contains("asked"),
                                 KWinSession::appearTimeout);
        // Its question is a dialog of the same app, not an app of its own.
        QTRY_COMPARE_WITH_TIMEOUT(workspace->runningApplications().size(), 1,
                                  KWinSession::appearTimeout);
        QVERIFY(workspace->runningApplication(pid));
        QVERIFY(!ended.contains(pid));
        QTRY_COMPARE_WITH_TIMEOUT(workspace->stillOpenReason(pid), StillOpenReason::askingToSave,
                                  KWinSession::appearTimeout);
    }

    void showBringsTheWindowForward()
    {
        const pid_t first = clients.startListed(*workspace, python, {closerScript});
        const pid_t second = clients.startListed(*workspace, qtApp, {});
        QVERIFY(first && second);
        // Whichever KWin focused on mapping, at least two of these move the focus. A loaded KWin
        // may drop a request for a window it is still mapping, so the request is repeated; and
        // each look at KWin's list is a fresh connection, so one true answer settles it.
        for (const pid_t pid : {first, second, first}) {
            QVERIFY(QTest::qWaitFor(
                [&] { return workspace->activate(pid) && session.activePid() == pid; },
                KWinSession::appearTimeout));
        }
    }

    void forceQuitKillsTheVerifiedProcess()
    {
        const pid_t pid = clients.startListed(*workspace, python, {closerScript});
        QVERIFY(pid);
        QVERIFY(workspace->forceQuit(pid));
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(pid), KWinSession::appearTimeout);
        QVERIFY(!workspace->forceQuit(pid));
    }

    void xwaylandAppIsListedOnceAndQuitThroughX11()
    {
        const std::unique_ptr<Workspace> combined = WorkspaceFactory::createWorkspace();
        QCOMPARE(combined->backendName(),
                 QStringLiteral("X11 + Wayland (KDE Plasma window management)"));
        QVERIFY(!combined->listingGap());
        const pid_t x11App =
            clients.startListed(*combined, python, {closerScript}, {{"GDK_BACKEND", "x11"}});
        const pid_t native = clients.startListed(*combined, python, {closerScript});
        QVERIFY(x11App && native);
        // KWin names the X client's pid for its window too; the Wayland side leaves it to X11.
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplication(native).has_value(),
                                 KWinSession::appearTimeout);
        QCOMPARE(workspace->runningApplications().size(), 1);
        const QList<RunningApplication> apps = combined->runningApplications();
        QCOMPARE(WaylandApps::countOf(apps, x11App), 1);
        QCOMPARE(WaylandApps::countOf(apps, native), 1);
        QCOMPARE(apps.size(), 2);

        QList<pid_t> endedHere;
        combined->addTerminationObserver([&](pid_t pid) { endedHere.append(pid); });
        QVERIFY(combined->requestQuit(x11App));
        QVERIFY(combined->requestQuit(native));
        QTRY_VERIFY_WITH_TIMEOUT(endedHere.contains(x11App) && endedHere.contains(native),
                                 KWinSession::appearTimeout);
    }
};

QTEST_GUILESS_MAIN(TestKWinWorkspace)
#include "tst_KWinWorkspace.moc"
