#include "DesktopUser.h"
#include "FakeStatusNotifierWatcher.h"
#include "SessionBus.h"
#include "SessionStart.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TrayDesktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>

#include <memory>

namespace
{

constexpr int showTimeout = TrayDesktop::showTimeout;

// Each look at a desktop takes a while (a new connection, or a reader process): waits count wall
// time, where QTRY_* counts only its pauses.
template <typename Condition> bool eventually(Condition condition)
{
    return QTest::qWaitFor(condition, showTimeout);
}

} // namespace

// The tray program on a Wayland desktop: the real program on Qt's Wayland plugin with no X
// display, whose tray is a StatusNotifierItem host on a private session bus. The compositor is
// the one $NIMBREL_TRAY_DESKTOP names: sway (the default), kwin or mutter.
class TestTrayProgramWayland : public QObject
{
    Q_OBJECT

    const QString desktopName = qEnvironmentVariable("NIMBREL_TRAY_DESKTOP", "sway");
    std::unique_ptr<TrayDesktop> desktop = TrayDesktop::named(desktopName);
    SessionBus bus;
    FakeStatusNotifierWatcher watcher;
    std::unique_ptr<QProcess> program;

    std::unique_ptr<QProcess> launch(const QString& busAddress)
    {
        QProcessEnvironment environment = desktop->programEnvironment(busAddress);
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(NIMBREL_PATH), QStringList());
        if (!process->waitForStarted(showTimeout))
            qWarning("nimbrel did not start");
        return process;
    }

    pid_t programPid() const { return pid_t(program->processId()); }

    // The program's item as it registered with the watcher: `method` of `interface` on it.
    QDBusPendingCall callItem(const QString& interface, const QString& method,
                              const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            watcher.items.last(), QStringLiteral("/StatusNotifierItem"), interface, method);
        message.setArguments(arguments);
        return QDBusConnection(QStringLiteral("host")).asyncCall(message);
    }

    void openPanelFromTray()
    {
        program = launch(bus.address());
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, showTimeout);
        callItem(QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"),
                 {640, 400});
        QVERIFY(eventually([&] { return desktop->showsPanel(programPid()); }));
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        QVERIFY2(desktop, qPrintable(QStringLiteral("no desktop named ") + desktopName));
        NIMBREL_START_SESSION(desktop->start(), "the desktop cannot start: ");
        if (const std::optional<QString> problem = bus.start())
            QFAIL(qPrintable(*problem));
        SettingsStore::standard().set(SettingsKeys::tutorialSeen, true);

        QDBusConnection host = QDBusConnection::connectToBus(bus.address(), QStringLiteral("host"));
        QVERIFY(host.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                    QDBusConnection::ExportAllContents));
        QVERIFY(host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }

    void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("host")); }

    void init() { watcher.items.clear(); }

    void cleanup()
    {
        desktop->stopApps();
        if (!program)
            return;
        program->kill();
        program->waitForFinished();
        program.reset();
    }

    void activateOpensPanelWhereCompositorPlacesIt()
    {
        program = launch(bus.address());
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, showTimeout);
        // Answered by the program's event loop, so its start-up has run to the end by then.
        QDBusPendingCall title =
            callItem(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                     {QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Title")});
        QTRY_VERIFY_WITH_TIMEOUT(title.isFinished(), showTimeout);
        QVERIFY2(!title.isError(), qPrintable(title.error().message()));
        QCOMPARE(desktop->windowCount(), 0);

        callItem(QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"),
                 {640, 400});
        QVERIFY(eventually([&] { return desktop->showsPanel(programPid()); }));
        QVERIFY(eventually([&] { return desktop->panelHasFocus(); }));
    }

    void trayHostShowsTheMenu()
    {
        program = launch(bus.address());
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, showTimeout);
        QDBusPendingCall menuPath =
            callItem(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                     {QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Menu")});
        QTRY_VERIFY_WITH_TIMEOUT(menuPath.isFinished(), showTimeout);
        QVERIFY2(!menuPath.isError(), qPrintable(menuPath.error().message()));
        const QString path = menuPath.reply()
                                 .arguments()
                                 .value(0)
                                 .value<QDBusVariant>()
                                 .variant()
                                 .value<QDBusObjectPath>()
                                 .path();
        QProcess layout;
        layout.start(QStringLiteral("dbus-send"),
                     {QStringLiteral("--bus=") + bus.address(), QStringLiteral("--print-reply"),
                      QStringLiteral("--dest=") + watcher.items.last(), path,
                      QStringLiteral("com.canonical.dbusmenu.GetLayout"), QStringLiteral("int32:0"),
                      QStringLiteral("int32:-1"), QStringLiteral("array:string:")});
        QVERIFY(layout.waitForFinished(showTimeout));
        const QByteArray items = layout.readAllStandardOutput();
        QVERIFY2(items.contains("Open Nimbrel") && items.contains("Quit Nimbrel"),
                 items.constData());

        // Asked for a menu of its own, the program opens no window; the panel is its only one.
        callItem(QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("ContextMenu"),
                 {640, 400});
        callItem(QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"),
                 {640, 400});
        QVERIFY(eventually([&] { return desktop->showsPanel(programPid()); }));
        QCOMPARE(desktop->windowCount(), 1);
    }

    void closes_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Escape") << true;
        QTest::newRow("another window focused") << false;
    }

    void closes()
    {
        QFETCH(bool, byEscape);
        if (const std::optional<QString> why = desktop->keepsFocusOnPanel(); why && !byEscape)
            QSKIP(qPrintable(*why));
        openPanelFromTray();
        QVERIFY(eventually([&] { return desktop->panelHasFocus(); }));
        if (byEscape) {
            const std::optional<QString> problem = desktop->press(TrayDesktop::Key::escape);
            QVERIFY2(!problem, qPrintable(problem.value_or(QString())));
        } else {
            // A new window takes the focus, which the panel loses.
            QVERIFY(desktop->openAnotherWindow());
        }
        QVERIFY(eventually([&] { return desktop->windowCount() == 0; }));
        QCOMPARE(program->state(), QProcess::Running);
    }

    // Apps reopened from the result start behind the panel, which keeps the keyboard or, where
    // the compositor gives it to every new window (KWin), takes it back.
    void reopenedAppsLeaveThePanelFocused()
    {
        if (!desktop->hasLayerShell())
            QSKIP("mutter 43 gives every new window the focus, and the panel, an ordinary window "
                  "there, cannot take it back");
        QVERIFY(desktop->openAnotherWindow());
        openPanelFromTray();
        QVERIFY(eventually([&] { return desktop->panelHasFocus(); }));
        // Return is the panel's main action.
        QCOMPARE(desktop->press(TrayDesktop::Key::enter), std::nullopt);
        QVERIFY(eventually([&] { return desktop->otherWindowCount(programPid()) == 0; }));
        QVERIFY(eventually([&] { return desktop->focusButton(QStringLiteral("Reopen 1 App")); }));
        QCOMPARE(desktop->press(TrayDesktop::Key::space), std::nullopt);
        QVERIFY(eventually([&] { return desktop->otherWindowCount(programPid()) == 1; }));
        // A panel that lost the focus to the new window would close.
        QVERIFY(eventually([&] { return desktop->panelHasFocus(); }));
        QTest::qWait(1000);
        QVERIFY(desktop->showsPanel(programPid()));
        QVERIFY(desktop->panelHasFocus());
    }

    void withoutTrayWaitsAndSaysSo()
    {
        SessionBus bare;
        if (const std::optional<QString> problem = bare.start())
            QFAIL(qPrintable(*problem));
        program = launch(bare.address());
        QByteArray log;
        QVERIFY(eventually(
            [&] { return (log += program->readAllStandardError()).contains("no system tray"); }));
        QCOMPARE(desktop->windowCount(), 0);
        // Launching it again opens the panel all the same.
        const std::unique_ptr<QProcess> second = launch(bare.address());
        QVERIFY(second->waitForFinished(showTimeout));
        QVERIFY(eventually([&] { return desktop->showsPanel(programPid()); }));
        QCOMPARE(log.count("no system tray"), 1);
    }
};

QTEST_GUILESS_MAIN(TestTrayProgramWayland)
#include "tst_TrayProgramWayland.moc"
