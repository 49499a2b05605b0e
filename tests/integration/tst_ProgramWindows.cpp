#include "AppInfo.h"
#include "DesktopSession.h"
#include "DesktopUser.h"
#include "FakeMediaCapture.h"
#include "LoginItem.h"
#include "NimbrelProgram.h"
#include "ProcProcessInfo.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "Units.h"
#include "Views.h"
#include "Workspace.h"
#include "WorkspaceFactory.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QQuickItem>
#include <QQuickView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtQml/QQmlExtensionPlugin>

#include <functional>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

namespace
{

const QString tutorialTitle = QStringLiteral("Welcome to Nimbrel");
const char childVariable[] = "NIMBREL_TEST_ON_DESKTOP";
// Input goes through the X server and the window manager; a loaded machine takes its time.
constexpr int inputTimeout = 20000;

LoginItem loginItem()
{
    return LoginItem(AppInfo::identifier(), QCoreApplication::applicationFilePath());
}

// Real pointer and key events through XTest, as a user's.
bool xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

QString storeText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QQuickItem* findItem(QQuickItem* root, const std::function<bool(QQuickItem*)>& matches)
{
    if (matches(root))
        return root;
    for (QQuickItem* child : root->childItems()) {
        if (QQuickItem* found = findItem(child, matches))
            return found;
    }
    return nullptr;
}

} // namespace

// The tutorial, settings and login item of a real controller on a throwaway X desktop, driven
// by real input; the desktop and a tray are started by main() before this process connects.
class TestProgramWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
    ProcProcessInfo processes;
    FakeMediaCapture capture;
    std::unique_ptr<NimbrelProgram> program;

    void launch(bool tutorialSeen, bool loginDecided = false)
    {
        program.reset();
        NimbrelProgram::defaults().set(SettingsKeys::tutorialSeen, tutorialSeen);
        NimbrelProgram::defaults().set(SettingsKeys::loginItemDecided, loginDecided);
        QFile::remove(loginItem().path());
        relaunch();
    }

    void relaunch()
    {
        program = std::make_unique<NimbrelProgram>(*workspace, processes, capture);
        QCOMPARE(program->started(std::nullopt), std::nullopt);
    }

    QQuickItem* item(const QString& objectName) const
    {
        return program->windows().window()->content()->rootObject()->findChild<QQuickItem*>(
            objectName);
    }

    // Brings the program window to the front with its content drawn, ready for input.
    bool activate() const
    {
        NimbrelWindow* window = program->windows().window();
        return QTest::qWaitForWindowExposed(window->content(), inputTimeout) &&
               xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                        QString::number(window->winId())}) &&
               QTest::qWaitForWindowActive(window, inputTimeout);
    }

    static bool click(QQuickItem* target)
    {
        const QPoint centre =
            target->mapToGlobal(QPointF(target->width() / 2, target->height() / 2)).toPoint();
        return xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"),
                        QString::number(centre.x()), QString::number(centre.y()),
                        QStringLiteral("click"), QStringLiteral("1")});
    }

    static bool key(const QString& keys) { return xdotool({QStringLiteral("key"), keys}); }

private slots:
    void cleanup() { program.reset(); }

    void firstLaunchGreetsWithTheTutorial()
    {
        launch(false);
        NimbrelWindow* window = program->windows().window();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), tutorialTitle);
        // 460 × 600 units of the desktop's font.
        const Units* units = Units::instance();
        const QSize content(int(units->size(460)), int(units->size(600)));
        QCOMPARE(window->content()->size(), content);
        QCOMPARE(window->size(), content + QSize(0, window->menuBar()->height()));
        QCOMPARE(program->windows().taskbarPresence(), ProgramWindows::TaskbarPresence::Taskbar);
        QVERIFY(!QFile::exists(loginItem().path()));
    }

    void closingTheTutorialCountsAsSeen_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("close button") << QStringLiteral("close");
        QTest::newRow("Esc") << QStringLiteral("escape");
        QTest::newRow("Skip") << QStringLiteral("skip");
        QTest::newRow("Done") << QStringLiteral("done");
    }

    void closingTheTutorialCountsAsSeen()
    {
        QFETCH(QString, way);
        launch(false);
        QVERIFY(activate());
        if (way == QLatin1String("close")) {
            QVERIFY(key(QStringLiteral("alt+F4"))); // openbox asks the window to close
        } else if (way == QLatin1String("escape")) {
            QVERIFY(key(QStringLiteral("Escape")));
        } else if (way == QLatin1String("skip")) {
            QVERIFY(click(item(QStringLiteral("skipButton"))));
        } else {
            QVERIFY(click(item(QStringLiteral("nextButton"))));
            QTRY_VERIFY_WITH_TIMEOUT(item(QStringLiteral("doneButton"))->isVisible(), inputTimeout);
            QVERIFY(key(QStringLiteral("Return")));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!program->windows().window()->isVisible(), inputTimeout);
        QVERIFY(NimbrelProgram::defaults().value(SettingsKeys::tutorialSeen));
        QVERIFY(NimbrelProgram::defaults().value(SettingsKeys::loginItemDecided));
        QVERIFY(loginItem().isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(program->windows().taskbarPresence(),
                                  ProgramWindows::TaskbarPresence::TrayOnly, inputTimeout);

        // The next launch neither greets again nor brings back a login item the user removed.
        QFile::remove(loginItem().path());
        relaunch();
        QVERIFY(!program->windows().window());
        QVERIFY(!QFile::exists(loginItem().path()));
    }

    void laterLaunchTurnsOnLoginOnce()
    {
        launch(true);
        QVERIFY(!program->windows().window());
        QVERIFY(loginItem().isEnabled());
        QVERIFY(NimbrelProgram::defaults().value(SettingsKeys::loginItemDecided));

        QFile::remove(loginItem().path());
        relaunch();
        QVERIFY(!QFile::exists(loginItem().path()));
    }

    void programWritesAValidLoginItem()
    {
        // The real program, in a config home of its own, with the tutorial already seen.
        QTemporaryDir config;
        QSettings(config.filePath(QStringLiteral("nimbrel/") + SettingsStore::standardName() +
                                  QStringLiteral(".conf")),
                  QSettings::IniFormat)
            .setValue(SettingsKeys::tutorialSeen.text(), true);
        const std::unique_ptr<QProcess> realProgram =
            DesktopSession::process({{QStringLiteral("XDG_CONFIG_HOME"), config.path()}});
        realProgram->start(QStringLiteral(NIMBREL_PATH));
        const QString entry = config.filePath(QStringLiteral("autostart/") + AppInfo::identifier() +
                                              QStringLiteral(".desktop"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(entry), DesktopSession::appearTimeout);
        realProgram->kill();
        realProgram->waitForFinished();

        QProcess validator;
        validator.start(QStringLiteral("desktop-file-validate"), {entry});
        QVERIFY(validator.waitForFinished());
        QVERIFY2(validator.exitCode() == 0, validator.readAllStandardOutput().constData());
        QVERIFY(storeText(entry).contains(QStringLiteral(NIMBREL_PATH)));
    }

    void tutorialOnlyPretendsToQuit()
    {
        QProcess app;
        app.startCommand(DesktopSession::appCommand(QStringLiteral("closer.py")));
        QVERIFY(app.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(xdotool({QStringLiteral("search"), QStringLiteral("--name"),
                                          QStringLiteral("^Closer$")}),
                                 DesktopSession::appearTimeout);
        const QString userStore = NimbrelProgram::defaults().path();
        launch(false);
        QVERIFY(activate());

        QQuickItem* row = findItem(program->windows().window()->content()->rootObject(),
                                   [](QQuickItem* i) { return i->property("ticked").toBool(); });
        QVERIFY(row);
        QVERIFY(click(row));
        QTRY_VERIFY_WITH_TIMEOUT(!row->property("ticked").toBool(), inputTimeout);
        QVERIFY(click(item(QStringLiteral("mainButton"))));
        QTRY_VERIFY_WITH_TIMEOUT(item(QStringLiteral("result"))->property("active").toBool(),
                                 inputTimeout);

        QCOMPARE(app.state(), QProcess::Running);
        const QString tutorialStore = QFileInfo(userStore).dir().filePath(
            QStringLiteral("dev.corvane.Nimbrel.tutorial.conf"));
        QVERIFY2(storeText(tutorialStore).contains(SettingsKeys::quitKeep.text()),
                 qPrintable(storeText(tutorialStore)));
        QVERIFY(!storeText(userStore).contains(SettingsKeys::quitKeep.text()));
        app.kill();
        app.waitForFinished();
    }

    void settingsReplaceTheTutorial()
    {
        launch(false);
        QPointer<NimbrelWindow> tutorial = program->windows().window();
        QVERIFY(activate());
        QVERIFY(key(QStringLiteral("ctrl+comma")));
        QTRY_VERIFY_WITH_TIMEOUT(program->windows().window() != tutorial, inputTimeout);
        QCOMPARE(program->windows().window()->windowTitle(), QStringLiteral("Nimbrel Settings"));
        QTRY_VERIFY_WITH_TIMEOUT(!tutorial, inputTimeout);
        QCOMPARE(program->programWindows().size(), 1);
        QVERIFY(NimbrelProgram::defaults().value(SettingsKeys::tutorialSeen));
        bool turned = false;
        QTimer::singleShot(0, this, [&turned] { turned = true; });
        QTRY_VERIFY_WITH_TIMEOUT(turned, inputTimeout);
        QCOMPARE(program->windows().taskbarPresence(), ProgramWindows::TaskbarPresence::Taskbar);

        QVERIFY(activate());
        QVERIFY(key(QStringLiteral("ctrl+w")));
        QTRY_VERIFY_WITH_TIMEOUT(!program->windows().window()->isVisible(), inputTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(program->windows().taskbarPresence(),
                                  ProgramWindows::TaskbarPresence::TrayOnly, inputTimeout);
    }
};

int main(int argc, char* argv[])
{
    DesktopUser::becomeUnprivileged();
    if (qEnvironmentVariableIsSet(childVariable)) {
        Views::configure();
        QApplication application(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        TestProgramWindows test;
        return QTest::qExec(&test, argc, argv);
    }
    // The application must connect to the test desktop when it is made, so this process holds
    // the desktop and the tests run in a child on it.
    QCoreApplication application(argc, argv);
    DesktopSession session;
    std::optional<QString> problem = session.start();
    if (!problem)
        problem = session.startTray();
    if (problem) {
        qWarning("%s test desktop: %s", SessionStart::mustSucceed() ? "FAIL! no" : "SKIP: no",
                 qPrintable(*problem));
        return SessionStart::mustSucceed() ? 1 : 0;
    }
    const std::unique_ptr<QProcess> tests =
        DesktopSession::process({{QLatin1String(childVariable), QStringLiteral("1")}});
    tests->setProcessChannelMode(QProcess::ForwardedChannels);
    tests->start(QCoreApplication::applicationFilePath(), application.arguments().mid(1));
    tests->waitForFinished(-1);
    return tests->exitStatus() == QProcess::NormalExit ? tests->exitCode() : 1;
}

#include "tst_ProgramWindows.moc"
