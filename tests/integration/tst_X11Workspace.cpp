#include "DesktopSession.h"
#include "DesktopUser.h"
#include "Quitter.h"
#include "TestDesktopApps.h"
#include "TestFiles.h"
#include "X11Workspace.h"

#include <QDir>
#include <QPixmap>
#include <QTest>

#include <csignal>

#include <memory>

namespace
{

int lostServerWarnings = 0;
QtMessageHandler previousHandler = nullptr;

void countLostServerWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("No running applications can be listed")))
        ++lostServerWarnings;
    previousHandler(type, context, text);
}

// How many pidfds this process holds on `pid`: a workspace watching an app holds one.
int pidfdsOn(pid_t pid)
{
    const QByteArray line = "\nPid:\t" + QByteArray::number(pid) + '\n';
    const QDir fdinfo(QStringLiteral("/proc/self/fdinfo"));
    int count = 0;
    for (const QString& fd : fdinfo.entryList(QDir::Files)) {
        if (TestFiles::readFile(fdinfo.filePath(fd)).contains(line))
            ++count;
    }
    return count;
}

} // namespace

class TestX11Workspace : public QObject
{
    Q_OBJECT

    DesktopSession session;
    TestDesktopApps entries;
    std::unique_ptr<X11Workspace> workspace;
    QHash<QString, pid_t> pids; // script -> pid

    pid_t startAndAwait(const QString& script)
    {
        QProcess* app = session.startApp(script);
        if (!app->waitForStarted())
            return 0;
        const pid_t pid = pid_t(app->processId());
        const bool listed =
            QTest::qWaitFor([&] { return workspace->runningApplication(pid).has_value(); },
                            DesktopSession::appearTimeout);
        return listed ? pid : 0;
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        entries = TestDesktopApps::install(session);
        workspace = std::make_unique<X11Workspace>();
        QVERIFY(!workspace->problem());
        for (const QString& script : {QStringLiteral("closer.py"), QStringLiteral("unsaved.py"),
                                      QStringLiteral("actions.py"), QStringLiteral("hidden.py")}) {
            pids.insert(script, startAndAwait(script));
            QVERIFY2(workspace->runningApplication(pids[script]), qPrintable(script));
        }
    }

    void describesTaskbarApps_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("desktopId");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("location");
        QTest::newRow("WM_CLASS names the file") << "closer.py"
                                                 << "nimbrel-closer"
                                                 << "Closer" << entries.closer;
        QTest::newRow("StartupWMClass") << "unsaved.py"
                                        << "nimbrel-notes"
                                        << "Unsaved Notes" << entries.unsaved;
        QTest::newRow("GTK application id") << "actions.py"
                                            << "dev.corvane.NimbrelTest.Actions"
                                            << "Actions" << entries.actions;
    }

    void describesTaskbarApps()
    {
        QFETCH(QString, script);
        const std::optional<RunningApplication> app = workspace->runningApplication(pids[script]);
        QVERIFY(app);
        QVERIFY(app->onTaskbar);
        QVERIFY(!app->hasExited);
        QCOMPARE(app->pid, pids[script]);
        QTEST(app->desktopId.value_or(QString()), "desktopId");
        QTEST(app->name.value_or(QString()), "name");
        QTEST(app->desktopFile.value_or(QString()), "location");
        QVERIFY(workspace->runningApplications().contains(*app));
    }

    void namedAgainWhenTheWindowRenamesItself_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("desktopId");
        QTest::newRow("WM_CLASS") << "WM_CLASS"
                                  << "nimbrel-closer"
                                  << "nimbrel-closer";
        QTest::newRow("GTK application id") << "_GTK_APPLICATION_ID"
                                            << "dev.corvane.NimbrelTest.Actions"
                                            << "dev.corvane.NimbrelTest.Actions";
    }

    void namedAgainWhenTheWindowRenamesItself()
    {
        QFETCH(QString, property);
        QFETCH(QString, value);
        QFETCH(QString, desktopId);
        QProcess* app = session.startApp(QStringLiteral("renamer.py"),
                                         {{QStringLiteral("NIMBREL_RENAME_PROPERTY"), property},
                                          {QStringLiteral("NIMBREL_RENAME_VALUE"), value}});
        QVERIFY(app->waitForStarted());
        const pid_t pid = pid_t(app->processId());
        QTRY_VERIFY_WITH_TIMEOUT(workspace->runningApplication(pid), DesktopSession::appearTimeout);
        QCOMPARE(workspace->runningApplication(pid)->desktopId, std::nullopt);

        QCOMPARE(kill(pid, SIGUSR1), 0);
        QTRY_COMPARE_WITH_TIMEOUT(workspace->runningApplication(pid)->desktopId.value_or(QString()),
                                  desktopId, DesktopSession::appearTimeout);
    }

    void skipTaskbarWindowIsNoRegularApp()
    {
        const auto hidden = workspace->runningApplication(pids[QStringLiteral("hidden.py")]);
        QVERIFY(hidden);
        QVERIFY(!hidden->onTaskbar);
    }

    void findsLocationsAndIcons()
    {
        QCOMPARE(workspace->installedDesktopFile(QStringLiteral("nimbrel-closer")), entries.closer);
        QCOMPARE(workspace->installedDesktopFile(QStringLiteral("no-such-app")), std::nullopt);
        QVERIFY(!workspace->desktopFileIcon(entries.closer).isEmpty());
        QVERIFY(workspace->desktopFileIcon(entries.actions).isEmpty());

        const AppIcon icon = workspace->windowIcon(pids[QStringLiteral("closer.py")]);
        QCOMPARE(icon.size, QSize(32, 32));
        QCOMPARE(QColor::fromRgba(icon.argb.value(16 * 32 + 16)), QColor(Qt::red));
    }

    void activatesTheAppsWindow()
    {
        for (const QString& script : {QStringLiteral("unsaved.py"), QStringLiteral("closer.py")}) {
            QVERIFY(workspace->activate(pids[script]));
            QTRY_COMPARE_WITH_TIMEOUT(session.activeWindowPid(), pids[script],
                                      DesktopSession::appearTimeout);
        }
    }

    void followsWindowsAsTheyComeAndGo()
    {
        QList<pid_t> ended;
        const auto token = workspace->addTerminationObserver([&](pid_t pid) { ended.append(pid); });
        QProcess* app = session.startApp(QStringLiteral("closer.py"));
        QVERIFY(app->waitForStarted());
        const pid_t pid = pid_t(app->processId());
        // The event loop has not run since the start, so the workspace cannot be watching it yet.
        const int pidfdsBefore = pidfdsOn(pid);
        // Nothing asks the workspace, so only the server's events can make it watch the new app.
        QTRY_COMPARE_WITH_TIMEOUT(pidfdsOn(pid), pidfdsBefore + 1, DesktopSession::appearTimeout);
        app->kill();
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(pid), DesktopSession::appearTimeout);
        QCOMPARE(workspace->runningApplication(pid), std::nullopt);
        workspace->removeTerminationObserver(token);
    }

    void reportsNothingOnceTheServerIsGone()
    {
        previousHandler = qInstallMessageHandler(countLostServerWarnings);
        // A quit under way ends with the display, and what was not seen to close is still open.
        AppEntry unsaved;
        unsaved.pid = pids[QStringLiteral("unsaved.py")];
        QCoro::Task<Quitter::Report> quit = Quitter(*workspace).quit({unsaved}, 600);
        session.killXServer();
        QTRY_VERIFY_WITH_TIMEOUT(quit.isReady(), DesktopSession::appearTimeout);
        const Quitter::Report report = QCoro::waitFor(quit);
        QVERIFY(report.desktopLost);
        QCOMPARE(report.stillOpen, QList<AppEntry>{unsaved});
        QTRY_VERIFY_WITH_TIMEOUT(workspace->problem(), DesktopSession::appearTimeout);
        QVERIFY(workspace->runningApplications().isEmpty());
        QCOMPARE(workspace->runningApplication(pids[QStringLiteral("closer.py")]), std::nullopt);
        QVERIFY(!workspace->requestQuit(pids[QStringLiteral("closer.py")]));
        QVERIFY(!workspace->activate(pids[QStringLiteral("closer.py")]));
        qInstallMessageHandler(previousHandler);
        QCOMPARE(lostServerWarnings, 1);
    }

    void cleanupTestCase() { workspace.reset(); }
};

QTEST_MAIN(TestX11Workspace)
#include "tst_X11Workspace.moc"
