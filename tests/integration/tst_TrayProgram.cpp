#include "DesktopSession.h"
#include "FakeStatusNotifierWatcher.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestDesktopApps.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <memory>
#include <signal.h>

namespace
{

// A launch of the program, its tray icon and its windows show up within this (ms) on a loaded
// two-core machine.
constexpr int showTimeout = 30000;

// The panel is 380 × 470 units, a unit following the desktop's font (Units).
const QSize popoverUnits{380, 470};
const QRect screenArea{0, 0, 1280, 800};
// Within Qt's double-click interval (400 ms): a quick second click must close the panel too.
constexpr int quickSecondClick = 150;

// Standard output of an X tool; empty when it fails or finds nothing.
QString tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        process.kill();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void xdotool(const QStringList& arguments)
{
    tool(QStringLiteral("xdotool"), arguments);
}

void clickAt(QPoint point, int button)
{
    xdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y())});
    // The move settles first, so the click lands in the window now under the pointer.
    QTest::qWait(50);
    xdotool({QStringLiteral("click"), QString::number(button)});
}

// Root-relative geometry of a window, as the X server sees it.
QRect geometry(const QString& window)
{
    const QString shell = tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                           QStringLiteral("--shell"), window});
    QHash<QString, int> values;
    for (const QString& line : shell.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList pair = line.split(QLatin1Char('='));
        if (pair.size() == 2)
            values.insert(pair[0], pair[1].toInt());
    }
    return {values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT")};
}

QStringList visibleWindows(const QStringList& query)
{
    return tool(QStringLiteral("xdotool"),
                QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + query)
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString windowProperty(const QString& window, const QString& name)
{
    return tool(QStringLiteral("xprop"), {QStringLiteral("-id"), window, name});
}

// Whether the window manager leaves `window` alone, as it does menus.
bool overrideRedirect(const QString& window)
{
    return tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window})
        .contains(QStringLiteral("Override Redirect State: yes"));
}

// Mapped top-level windows of the program larger than its tray icon.
QStringList programWindows()
{
    QStringList windows = visibleWindows({QStringLiteral("--classname"), "^nimbrel$"});
    windows.removeIf([](const QString& window) { return geometry(window).width() <= 100; });
    return windows;
}

// The mapped panel: a managed window titled "Nimbrel"; empty when none.
QString popover()
{
    for (const QString& window : programWindows()) {
        if (!overrideRedirect(window) &&
            windowProperty(window, QStringLiteral("WM_NAME")).contains("\"Nimbrel\""))
            return window;
    }
    return {};
}

// A mapped popup menu of the program; empty when none.
QString popupMenu()
{
    for (const QString& window : programWindows()) {
        if (overrideRedirect(window))
            return window;
    }
    return {};
}

// The icon window of program `owner` inside trayer's panel; empty until it is embedded. By pid,
// since the icon of a launch just killed may linger until the X server notices.
QString trayIcon(qint64 owner)
{
    for (const QString& panel : visibleWindows({QStringLiteral("--class"), "^trayer$"})) {
        // Every descendant of the panel, one a line: id "name": ("instance" "class") ...
        const QString tree =
            tool(QStringLiteral("xwininfo"), {QStringLiteral("-tree"), "-id", panel});
        static const QRegularExpression nimbrel(
            QStringLiteral(R"(^\s*(0x[0-9a-f]+) .*\("nimbrel" )"),
            QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch& match : nimbrel.globalMatch(tree)) {
            if (windowProperty(match.captured(1), QStringLiteral("_NET_WM_PID"))
                    .trimmed()
                    .endsWith(QStringLiteral(" = %1").arg(owner)))
                return match.captured(1);
        }
    }
    return {};
}

// Where the icon is once trayer has embedded and sized it; an empty rectangle until then.
QRect trayIconArea(qint64 owner)
{
    const QString icon = trayIcon(owner);
    if (icon.isEmpty())
        return {};
    const QRect area = geometry(icon);
    return area.width() > 1 && area.height() > 1 ? area : QRect();
}

} // namespace

// The tray program as a user meets it: a real child process on a throwaway desktop with a tray,
// driven by pointer and key events only, watched through the X server.
class TestTrayProgram : public QObject
{
    Q_OBJECT

    DesktopSession session;
    std::unique_ptr<QProcess> program;

    // The environment points at the newest desktop session, so a launch lands there.
    static std::unique_ptr<QProcess> launch(const QStringList& arguments = {})
    {
        std::unique_ptr<QProcess> process = DesktopSession::process();
        process->start(QStringLiteral(NIMBREL_PATH), arguments);
        if (!process->waitForStarted(showTimeout))
            qWarning("nimbrel did not start");
        return process;
    }

    // A private runtime folder for the single-instance socket and the tutorial marked as seen.
    static void prepareHome(const DesktopSession& desktop)
    {
        const QString runtime = desktop.scratchPath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        SettingsStore::standard().set(SettingsKeys::tutorialSeen, true);
    }

    void launchAndWaitForIcon(const QStringList& arguments = {})
    {
        program = launch(arguments);
        QTRY_VERIFY_WITH_TIMEOUT(trayIconArea(program->processId()).isValid(), showTimeout);
    }

    void openWithClick(QPoint icon)
    {
        clickAt(icon, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
    }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        NIMBREL_START_SESSION(session.startTray(), "");
        prepareHome(session);
        TestDesktopApps::install(session);
        for (const char* script : {"closer.py", "unsaved.py"})
            QVERIFY(session.startApp(QLatin1String(script))->waitForStarted());
    }

    void cleanup()
    {
        if (!program)
            return;
        program->kill();
        program->waitForFinished();
        program.reset();
    }

    void leftClickTogglesPopoverBelowIcon()
    {
        launchAndWaitForIcon();
        const QRect icon = trayIconArea(program->processId());
        openWithClick(icon.center());
        const QString window = popover();
        const QRect panel = geometry(window);
        // Its shape, to the pixel each way that rounding takes, at the size the font gives.
        QVERIFY2(panel.width() >= popoverUnits.width() * 3 / 4 &&
                     qAbs(panel.height() * popoverUnits.width() -
                          panel.width() * popoverUnits.height()) <= 2 * popoverUnits.height(),
                 qPrintable(QStringLiteral("%1×%2").arg(panel.width()).arg(panel.height())));
        QVERIFY2(qAbs(panel.top() - (icon.bottom() + 1)) <= 8,
                 qPrintable(QStringLiteral("panel top %1, icon bottom %2")
                                .arg(panel.top())
                                .arg(icon.bottom())));
        QVERIFY(panel.left() <= icon.center().x() && icon.center().x() <= panel.right());
        QVERIFY(screenArea.contains(panel));
        QVERIFY(
            windowProperty(window, QStringLiteral("_NET_FRAME_EXTENTS")).contains("0, 0, 0, 0"));

        QTest::qWait(quickSecondClick);
        clickAt(icon.center(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(popover().isEmpty(), showTimeout);
    }

    void dismisses_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Escape") << true;
        QTest::newRow("click elsewhere") << false;
    }

    void dismisses()
    {
        QFETCH(bool, byEscape);
        launchAndWaitForIcon();
        openWithClick(trayIconArea(program->processId()).center());
        if (byEscape)
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        else
            clickAt({200, 600}, 1);
        QTRY_VERIFY_WITH_TIMEOUT(popover().isEmpty(), showTimeout);
        QCOMPARE(program->state(), QProcess::Running);
    }

    void rightClickOffersStatusMenu()
    {
        launchAndWaitForIcon();
        clickAt(trayIconArea(program->processId()).center(), 3);
        QString menu;
        QTRY_VERIFY_WITH_TIMEOUT(!(menu = popupMenu()).isEmpty(), showTimeout);
        QVERIFY(popover().isEmpty());
        // "Open Nimbrel" is the first row.
        clickAt(geometry(menu).topLeft() + QPoint(30, 12), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(popupMenu().isEmpty(), showTimeout);
    }

    void gearOpensSettings()
    {
        launchAndWaitForIcon();
        openWithClick(trayIconArea(program->processId()).center());
        // The gear sits at the panel's top right, inside its 16-point inset.
        clickAt(geometry(popover()).topRight() + QPoint(-30, 29), 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            !visibleWindows({QStringLiteral("--name"), "^Nimbrel Settings$"}).isEmpty(),
            showTimeout);
    }

    void secondLaunchReopensFirst()
    {
        launchAndWaitForIcon();
        const std::unique_ptr<QProcess> second = launch();
        QVERIFY(second->waitForFinished(showTimeout));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
    }

    void startsAfterCrash()
    {
        launchAndWaitForIcon();
        ::kill(pid_t(program->processId()), SIGKILL);
        QVERIFY(program->waitForFinished());
        launchAndWaitForIcon();
        QCOMPARE(program->state(), QProcess::Running);
    }

    void checkFlagNeedsValue()
    {
        // The flag last, with nothing after it, is no request: the usual launch.
        launchAndWaitForIcon({QStringLiteral("--check-menus")});
        QCOMPARE(program->state(), QProcess::Running);
    }

    void activatesThroughStatusNotifierHost()
    {
        // A desktop of its own: no XEmbed tray there, only the host on its session bus.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const auto restoreRuntime = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", runtime); });
        DesktopSession bare;
        NIMBREL_START_DESKTOP(bare);
        prepareHome(bare);

        // With no tray of either kind the panel opens by itself, and the log says why, once.
        program = launch();
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);
        program->kill();
        program->waitForFinished();
        QCOMPARE(program->readAllStandardError().count("no system tray"), 1);

        QDBusConnection bus = QDBusConnection::connectToBus(
            qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("host"));
        FakeStatusNotifierWatcher watcher;
        QVERIFY(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportAllContents));
        // Qt looks for the host once, as the program starts.
        QVERIFY(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));

        program = launch();
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items.size(), 1, showTimeout);
        const auto call = [&](const QString& interface, const QString& method,
                              const QVariantList& arguments) {
            QDBusMessage message = QDBusMessage::createMethodCall(
                watcher.items.first(), QStringLiteral("/StatusNotifierItem"), interface, method);
            message.setArguments(arguments);
            return bus.asyncCall(message);
        };
        // Answered by the program's event loop, so its start-up has run to the end by then.
        QDBusPendingCall title =
            call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Title")});
        QTRY_VERIFY_WITH_TIMEOUT(title.isFinished(), showTimeout);
        QVERIFY2(!title.isError(), qPrintable(title.error().message()));
        QVERIFY(popover().isEmpty());

        call(QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"), {640, 400});
        QTRY_VERIFY_WITH_TIMEOUT(!popover().isEmpty(), showTimeout);

        program->kill();
        program->waitForFinished();
        program.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("host"));
    }
};

QTEST_GUILESS_MAIN(TestTrayProgram)
#include "tst_TrayProgram.moc"
