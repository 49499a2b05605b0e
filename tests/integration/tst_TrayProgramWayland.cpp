#include "FakeStatusNotifierWatcher.h"
#include "SessionBus.h"
#include "SettingsStore.h"
#include "SwaySession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <memory>

namespace
{

// A launch of the program registers its item and shows its panel within this (ms) on a loaded
// two-core machine.
constexpr int showTimeout = 30000;

const QSize popoverSize{380, 470};

// The program's panel in sway's tree: its window titled "Nimbrel"; empty when none.
QJsonObject panelIn(const SwaySession& sway, qint64 program)
{
    for (const QJsonObject& window : sway.windows()) {
        if (window.value(QLatin1String("pid")).toInteger() == program &&
            window.value(QLatin1String("name")).toString() == QLatin1String("Nimbrel"))
            return window;
    }
    return {};
}

QSize sizeOf(const QJsonObject& window)
{
    const QJsonObject rect = window.value(QLatin1String("window_rect")).toObject();
    return {rect.value(QLatin1String("width")).toInt(),
            rect.value(QLatin1String("height")).toInt()};
}

} // namespace

// The tray program on a Wayland desktop: the real program on Qt's Wayland plugin with no X
// display, in a headless sway whose tray is a StatusNotifierItem host on a private session bus.
class TestTrayProgramWayland : public QObject
{
    Q_OBJECT

    SwaySession sway;
    SessionBus bus;
    FakeStatusNotifierWatcher watcher;
    std::unique_ptr<QProcess> program;

    std::unique_ptr<QProcess> launch(const QString& busAddress)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           sway.scratchPath(QStringLiteral("runtime")));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(NIMBREL_PATH), QStringList());
        if (!process->waitForStarted(showTimeout))
            qWarning("nimbrel did not start");
        return process;
    }

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
        QTRY_VERIFY_WITH_TIMEOUT(!panelIn(sway, program->processId()).isEmpty(), showTimeout);
    }

private slots:
    void initTestCase()
    {
        NIMBREL_START_SWAY(sway);
        if (const std::optional<QString> problem = bus.start())
            QFAIL(qPrintable(*problem));
        // The single-instance socket's folder must be private to the program's user.
        const QString runtime = sway.scratchPath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner));
        SettingsStore::standard().setBoolean(QStringLiteral("TutorialSeen"), true);

        QDBusConnection host = QDBusConnection::connectToBus(bus.address(), QStringLiteral("host"));
        QVERIFY(host.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                    QDBusConnection::ExportAllContents));
        QVERIFY(host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }

    void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("host")); }

    void init() { watcher.items.clear(); }

    void cleanup()
    {
        sway.apps().stopAll();
        if (!program)
            return;
        program->kill();
        program->waitForFinished();
        program.reset();
    }

    void activateOpensPanelWhereSwayPlacesIt()
    {
        program = launch(bus.address());
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, showTimeout);
        // Answered by the program's event loop, so its start-up has run to the end by then.
        QDBusPendingCall title =
            callItem(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                     {QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Title")});
        QTRY_VERIFY_WITH_TIMEOUT(title.isFinished(), showTimeout);
        QVERIFY2(!title.isError(), qPrintable(title.error().message()));
        QVERIFY(panelIn(sway, program->processId()).isEmpty());

        callItem(QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"),
                 {640, 400});
        QJsonObject panel;
        QTRY_VERIFY_WITH_TIMEOUT(!(panel = panelIn(sway, program->processId())).isEmpty(),
                                 showTimeout);
        // Floating at its own size: tiled, it would fill the output.
        QCOMPARE(panel.value(QLatin1String("type")).toString(), QStringLiteral("floating_con"));
        QCOMPARE(sizeOf(panel), popoverSize);
        QTRY_COMPARE_WITH_TIMEOUT(sway.focusedPid(), pid_t(program->processId()), showTimeout);
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
        QTRY_VERIFY_WITH_TIMEOUT(!panelIn(sway, program->processId()).isEmpty(), showTimeout);
        QCOMPARE(sway.windowPids().count(pid_t(program->processId())), 1);
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
        openPanelFromTray();
        QTRY_COMPARE_WITH_TIMEOUT(sway.focusedPid(), pid_t(program->processId()), showTimeout);
        if (byEscape) {
            QProcess wtype;
            wtype.start(QStringLiteral("wtype"), {QStringLiteral("-k"), QStringLiteral("Escape")});
            QVERIFY(wtype.waitForFinished(showTimeout));
            QCOMPARE(wtype.exitCode(), 0);
        } else {
            // A new window takes the focus, which the panel loses.
            QProcess* other = sway.apps().start(QStringLiteral("foot"),
                                                {QStringLiteral("--log-level=warning"),
                                                 QStringLiteral("sleep"), QStringLiteral("600")});
            QVERIFY(other);
            QTRY_COMPARE_WITH_TIMEOUT(sway.focusedPid(), pid_t(other->processId()), showTimeout);
        }
        QTRY_VERIFY_WITH_TIMEOUT(panelIn(sway, program->processId()).isEmpty(), showTimeout);
        QCOMPARE(program->state(), QProcess::Running);
    }

    void withoutTrayOpensPanelAndSaysSo()
    {
        SessionBus bare;
        if (const std::optional<QString> problem = bare.start())
            QFAIL(qPrintable(*problem));
        program = launch(bare.address());
        QTRY_VERIFY_WITH_TIMEOUT(!panelIn(sway, program->processId()).isEmpty(), showTimeout);
        program->kill();
        program->waitForFinished();
        QCOMPARE(program->readAllStandardError().count("no system tray"), 1);
    }
};

QTEST_GUILESS_MAIN(TestTrayProgramWayland)
#include "tst_TrayProgramWayland.moc"
