#include "DesktopSession.h"
#include "DesktopUser.h"
#include "Phase.h"
#include "SampleApps.h"
#include "TotalMemory.h"
#include "ViewText.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <memory>

#include <algorithm>
#include <optional>

namespace
{

const QString launcherPath = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
const QString hostName = QStringLiteral("panel_host");
// The panel, its accessibility bridge and key events through the window manager show up within
// this (ms) on a loaded two-core machine.
constexpr int showTimeout = 30000;
// Every look at the tree starts a reader process, so waits count wall time (QTest::qWaitFor), not
// polls as QTRY_* does.

// One object as a screen reader meets it.
struct Accessible {
    QString role;
    QString name;
    QStringList states;

    QString announced() const { return role + QLatin1String(": ") + name; }
};

// The host's accessible objects, depth-first, as the accessibility bus reports them now.
QList<Accessible> accessibleTree()
{
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reader.startCommand(DesktopSession::appCommand(QStringLiteral("accessible_tree.py")) +
                        QLatin1Char(' ') + hostName);
    if (!reader.waitForFinished(20000))
        reader.kill();
    QList<Accessible> tree;
    for (const QString& line :
         QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() == 3)
            tree.append({fields[0], fields[1], fields[2].split(QLatin1Char(','))});
    }
    return tree;
}

QStringList announced(const QList<Accessible>& objects, const QString& role = {})
{
    QStringList lines;
    for (const Accessible& object : objects) {
        if (role.isEmpty() || object.role == role)
            lines.append(object.announced());
    }
    return lines;
}

// The control that has the keyboard focus (containers report focus too, but are not focusable).
QString focusedControl()
{
    const QList<Accessible> tree = accessibleTree();
    const auto focused = std::find_if(tree.cbegin(), tree.cend(), [](const Accessible& object) {
        return object.states.contains(QLatin1String("focused")) &&
               object.states.contains(QLatin1String("focusable"));
    });
    return focused == tree.cend() ? QString() : focused->announced();
}

bool checked(const QString& control)
{
    const QList<Accessible> tree = accessibleTree();
    return std::any_of(tree.cbegin(), tree.cend(), [&](const Accessible& object) {
        return object.announced() == control && object.states.contains(QLatin1String("checked"));
    });
}

// Performs `action` on the first control of `role` whose name starts with `name`, as a screen
// reader or a tool such as dogtail does; false when there is no such control or action.
bool perform(const QString& role, const QString& name, const QString& action)
{
    QStringList command =
        QProcess::splitCommand(DesktopSession::appCommand(QStringLiteral("accessible_action.py")));
    const QString program = command.takeFirst();
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(program, command << hostName << role << name << action);
    return tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

bool xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

// The first visible window of process `pid`; empty when it has none.
QString windowOf(qint64 pid)
{
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--pid"), QString::number(pid)});
    if (!search.waitForFinished(20000))
        search.kill();
    return QString::fromLatin1(search.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0);
}

// Nothing when AT-SPI can be started and read here, else what is missing.
std::optional<QString> missingAccessibilityTools()
{
    if (!QFileInfo::exists(launcherPath))
        return QStringLiteral("at-spi2-core is not installed");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import pyatspi")});
    if (!python.waitForFinished(20000) || python.exitCode() != 0)
        return QStringLiteral("python3-pyatspi is not installed");
    return std::nullopt;
}

} // namespace

// The panel as a screen reader user meets it: a real window on a throwaway desktop with the
// accessibility bus, read through AT-SPI and driven by real key events.
class TestPanelAccessibility : public QObject
{
    Q_OBJECT

    DesktopSession session;
    QProcess accessibilityBus;
    std::unique_ptr<QProcess> host;
    QString window;

    static QStringList sampleTickBoxes()
    {
        QStringList names;
        for (const AppEntry& app : SampleApps::tutorial())
            names.append(QLatin1String("check box: ") + ViewText::tickLabel(app.name));
        return names;
    }

    // The main button while `apps` are ticked.
    static QString mainButton(const QList<AppEntry>& apps = SampleApps::tutorial())
    {
        return QLatin1String("push button: ") +
               ViewText::mainButtonCaption(Phase::ready(), int(apps.size()), totalMemory(apps),
                                           false);
    }

    // The panel shows the first sample ticked or not, and the main button counts accordingly.
    static bool showsFirstSample(bool ticked)
    {
        const QString tickBox = sampleTickBoxes().constFirst();
        const QList<AppEntry> counted =
            ticked ? SampleApps::tutorial() : SampleApps::tutorial().mid(1);
        const QList<Accessible> tree = accessibleTree();
        return std::any_of(tree.cbegin(), tree.cend(),
                           [&](const Accessible& object) {
                               return object.announced() == tickBox &&
                                      object.states.contains(QLatin1String("checked")) == ticked;
                           }) &&
               announced(tree, QStringLiteral("push button")).contains(mainButton(counted));
    }

    // Presses `key` and returns the control that takes the focus; empty when none does.
    static QString press(const QString& key)
    {
        const QString before = focusedControl();
        if (!xdotool({QStringLiteral("key"), key}))
            return {};
        QString after;
        if (!QTest::qWaitFor([&] { return (after = focusedControl()) != before; }, showTimeout))
            return {};
        return after;
    }

    // Tabs around the panel once; the controls in the order they took the focus.
    static QStringList tabCycle()
    {
        QStringList cycle{press(QStringLiteral("Tab"))};
        for (int control = 0; control < 20; ++control) {
            const QString focused = press(QStringLiteral("Tab"));
            if (focused.isEmpty() || focused == cycle.constFirst())
                break;
            cycle.append(focused);
        }
        return cycle;
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        NIMBREL_START_SESSION(missingAccessibilityTools(), "");
        accessibilityBus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        accessibilityBus.start(launcherPath, {QStringLiteral("--launch-immediately")});
        QDBusConnectionInterface* sessionBus = QDBusConnection::sessionBus().interface();
        QVERIFY(sessionBus);
        QTRY_VERIFY_WITH_TIMEOUT(sessionBus->isServiceRegistered(QStringLiteral("org.a11y.Bus")),
                                 showTimeout);

        host = DesktopSession::process(
            {{QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1")}});
        host->setProcessChannelMode(QProcess::ForwardedChannels);
        host->start(QStringLiteral(PANEL_HOST_PATH));
        QVERIFY(host->waitForStarted());
        // Ready once every row is there; whether they are named is a case of its own.
        const auto rowsListed = [] {
            return announced(accessibleTree(), QStringLiteral("check box")).size() ==
                   SampleApps::tutorial().size();
        };
        QVERIFY2(QTest::qWaitFor(rowsListed, showTimeout),
                 qPrintable(announced(accessibleTree()).join(QLatin1String(" | "))));
        window = windowOf(host->processId());
        QVERIFY(!window.isEmpty());
    }

    void init()
    {
        QVERIFY(xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}));
    }

    void cleanupTestCase()
    {
        for (QProcess* process : {host.get(), &accessibilityBus}) {
            if (!process)
                continue;
            process->terminate();
            process->waitForFinished(5000);
        }
    }

    void controlsAreNamed_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("preset picker")
            << QStringLiteral("page tab list") << QStringList{"page tab list: What to quit"};
        QTest::newRow("presets") << QStringLiteral("page tab")
                                 << QStringList{"page tab: Everything", "page tab: Distractions",
                                                "page tab: Before a Call"};
        QTest::newRow("tick boxes, in list order")
            << QStringLiteral("check box") << sampleTickBoxes();
        QTest::newRow("settings and main button")
            << QStringLiteral("push button") << QStringList{"push button: Settings", mainButton()};
    }

    void controlsAreNamed()
    {
        QFETCH(QString, role);
        QFETCH(QStringList, expected);
        QCOMPARE(announced(accessibleTree(), role), expected);
    }

    void tabReachesEveryControl()
    {
        QStringList cycle = tabCycle();
        // The cycle starts wherever the focus was; read it from the gear on.
        const qsizetype gear = cycle.indexOf(QStringLiteral("push button: Settings"));
        QVERIFY2(gear >= 0, qPrintable(cycle.join(QLatin1String(" | "))));
        std::rotate(cycle.begin(), cycle.begin() + gear, cycle.end());
        const QStringList expected =
            QStringList{"push button: Settings", "page tab: Everything", "page tab: Distractions",
                        "page tab: Before a Call"}
            << sampleTickBoxes() << mainButton();
        // Joined, so a failure shows the whole order.
        QCOMPARE(cycle.join(QLatin1String(" | ")), expected.join(QLatin1String(" | ")));
    }

    void spaceTogglesFocusedTickBox()
    {
        const QString tickBox = sampleTickBoxes().constFirst();
        for (int control = 0; control < 20 && focusedControl() != tickBox; ++control)
            QVERIFY(!press(QStringLiteral("Tab")).isEmpty());
        QCOMPARE(focusedControl(), tickBox);
        QVERIFY(checked(tickBox));
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("space")}));
        QVERIFY(QTest::qWaitFor([&] { return !checked(tickBox); }, showTimeout));
        // Ticked again, so the panel is as the other cases expect it.
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("space")}));
        QVERIFY(QTest::qWaitFor([&] { return checked(tickBox); }, showTimeout));
    }

    void tickBoxActionsGoThroughModel_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("Toggle") << QStringLiteral("Toggle");
        QTest::newRow("Press") << QStringLiteral("Press");
    }

    // What the box shows is what the main button will do: the caption counts one app fewer.
    void tickBoxActionsGoThroughModel()
    {
        QFETCH(QString, action);
        const QString tickLabel = ViewText::tickLabel(SampleApps::tutorial().constFirst().name);
        QVERIFY(showsFirstSample(true));
        QVERIFY(perform(QStringLiteral("check box"), tickLabel, action));
        QVERIFY(QTest::qWaitFor([] { return showsFirstSample(false); }, showTimeout));
        QVERIFY(perform(QStringLiteral("check box"), tickLabel, action));
        QVERIFY(QTest::qWaitFor([] { return showsFirstSample(true); }, showTimeout));
    }

    // A screen reader's press on a preset chooses it, as a click does.
    void pressOnPresetChoosesIt()
    {
        const QString tab = QStringLiteral("page tab: ");
        const QString distractions = QCoreApplication::translate("QuitKit", "Distractions");
        const QString everything = QCoreApplication::translate("QuitKit", "Everything");
        QVERIFY(checked(tab + everything));
        QVERIFY(perform(QStringLiteral("page tab"), distractions, QStringLiteral("Press")));
        QVERIFY(QTest::qWaitFor([&] { return checked(tab + distractions); }, showTimeout));
        QVERIFY(!checked(tab + everything));
        // Back to the preset the other cases expect.
        QVERIFY(perform(QStringLiteral("page tab"), everything, QStringLiteral("Press")));
        QVERIFY(QTest::qWaitFor([&] { return checked(tab + everything); }, showTimeout));
    }

    void hiddenTextIsNotExposed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("exposed");
        QTest::newRow("the hint")
            << QCoreApplication::translate(
                   "QuitUI",
                   "Ticked apps close; untick one to keep it (remembered). Apps with unsaved "
                   "work ask you to save first, like Ctrl+Q.")
            << true;
        QTest::newRow("the sample banner outside the tutorial")
            << QCoreApplication::translate("QuitUI",
                                           "Example apps — nothing on your computer is closed")
            << false;
        QTest::newRow("the empty-list text while apps are listed")
            << QCoreApplication::translate("QuitUI", "No other apps are open.") << false;
    }

    void hiddenTextIsNotExposed()
    {
        QFETCH(QString, text);
        QFETCH(bool, exposed);
        const QList<Accessible> tree = accessibleTree();
        QCOMPARE(std::any_of(tree.cbegin(), tree.cend(),
                             [&](const Accessible& object) { return object.name == text; }),
                 exposed);
    }

    // Last, as it ends the sample panel: a panel over the desktop's real apps, pressed by a
    // screen reader, quits the app it lists, and force quits the one that stays to ask.
    void pressQuitsAndForceQuitsApps()
    {
        host->terminate();
        QVERIFY(host->waitForFinished(showTimeout));
        QProcess* app = session.startApp(QStringLiteral("closer.py"));
        QProcess* editor = session.startApp(QStringLiteral("unsaved.py"));
        QVERIFY(app->waitForStarted() && editor->waitForStarted());
        QVERIFY(QTest::qWaitFor(
            [&] {
                return !windowOf(app->processId()).isEmpty() &&
                       !windowOf(editor->processId()).isEmpty();
            },
            DesktopSession::appearTimeout));

        host = DesktopSession::process(
            {{QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1")}});
        host->setProcessChannelMode(QProcess::ForwardedChannels);
        host->start(QStringLiteral(PANEL_HOST_PATH), {QStringLiteral("--running")});
        QVERIFY(host->waitForStarted());
        constexpr int quitFollowed = 12'000; // ms, the longest the panel follows a quit
        const auto buttonShown = [](const QString& name) {
            return QTest::qWaitFor(
                [&] {
                    return announced(accessibleTree(), QStringLiteral("push button"))
                               .filter(name)
                               .size() == 1;
                },
                quitFollowed + showTimeout);
        };
        const QString caption = QCoreApplication::translate("QuitUI", "Quit 2 Apps");
        QVERIFY2(buttonShown(caption), qPrintable(announced(accessibleTree()).join(" | ")));
        QVERIFY(perform(QStringLiteral("push button"), caption, QStringLiteral("Press")));
        QVERIFY(app->waitForFinished(showTimeout));
        const QString forceQuit = QCoreApplication::translate("QuitUI", "Force Quit");
        QVERIFY2(buttonShown(forceQuit), qPrintable(announced(accessibleTree()).join(" | ")));
        QVERIFY(perform(QStringLiteral("push button"), forceQuit, QStringLiteral("Press")));
        QVERIFY(editor->waitForFinished(showTimeout));
    }
};

QTEST_GUILESS_MAIN(TestPanelAccessibility)
#include "tst_PanelAccessibility.moc"
