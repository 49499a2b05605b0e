#include "DesktopUser.h"
#include "HeldStill.h"
#include "MoonOnBar.h"
#include "MoonShade.h"
#include "SessionStart.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "WaybarTrayDesktop.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <memory>

namespace
{

constexpr int showTimeout = TrayDesktop::showTimeout;
constexpr int gtkDoubleClickTime = 400; // ms, GTK's default

template <typename Condition> bool eventually(Condition condition)
{
    return QTest::qWaitFor(condition, showTimeout);
}

const QString notesScript = QStringLiteral(NIMBREL_TEST_APPS_DIR "/unsaved.py");

bool fileHolds(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(text);
}

// The smallest rectangle holding every pixel that differs between two shots of one place.
QRect changedArea(const QImage& now, const QImage& before)
{
    QRect changed;
    for (int y = 0; y < now.height(); ++y) {
        for (int x = 0; x < now.width(); ++x) {
            if (now.pixel(x, y) != before.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
        }
    }
    return changed;
}

} // namespace

// The tray program inside waybar's tray on a headless sway, driven by pointer clicks through
// sway's seat and keys from a virtual keyboard, and seen in screenshots of the output.
class TestWaybarTray : public QObject
{
    Q_OBJECT

    WaybarTrayDesktop desktop;
    std::unique_ptr<QProcess> program;
    QImage bareBar;             // the bar before the program came
    QProcess* editor = nullptr; // the session's, while a case has one

    QImage barShot() const
    {
        return desktop.screen().copy(desktop.bar()).convertToFormat(QImage::Format_RGB32);
    }

    // Starts the program on the desktop's bus; the moon once waybar shows it and it holds still.
    Moon launchAndWaitForMoon()
    {
        // Once it holds still: the bar may still be showing a window that just came or went.
        bareBar =
            heldStill([&] { return std::optional(barShot()); }, showTimeout).value_or(QImage());
        QProcessEnvironment environment = desktop.programEnvironment(desktop.busAddress());
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        program = std::make_unique<QProcess>();
        program->setProcessEnvironment(environment);
        program->start(QStringLiteral(NIMBREL_PATH), QStringList());
        return heldStill([&] { return findMoon(barShot(), bareBar); }, showTimeout)
            .value_or(Moon());
    }

    pid_t programPid() const { return pid_t(program->processId()); }

    bool clickOpensPanel(const Moon& moon)
    {
        return desktop.click(moon.area.center(), 1) == std::nullopt &&
               eventually([&] { return desktop.showsPanel(programPid()); }) &&
               eventually([&] { return desktop.panelHasFocus(); });
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_SESSION(desktop.start(), "no waybar on sway: ");
        SettingsStore::standard().set(SettingsKeys::tutorialSeen, true);
    }

    void cleanup()
    {
        if (!program)
            return;
        program->kill();
        program->waitForFinished();
        program.reset();
        // The editor goes last: the bar was taken with it.
        const auto stopEditor = qScopeGuard([this] {
            if (!editor)
                return;
            const pid_t pid = pid_t(editor->processId());
            editor->kill();
            editor->waitForFinished();
            editor = nullptr;
            if (!eventually([&] { return !desktop.session().windowPids().contains(pid); }))
                qWarning("the killed editor's window stays on screen");
        });
        QCOMPARE(desktop.parkPointer(), std::nullopt);
        // Until waybar has let the item go, its moon may show where the next case looks.
        QVERIFY(eventually([&] { return barShot() == bareBar; }));
    }

    void moonStandsOutOnTheBar()
    {
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        const double contrast = MoonShade::contrast(moon.moon, moon.bar);
        QVERIFY2(contrast >= 3.0, qPrintable(QStringLiteral("moon %1 on bar %2: contrast %3")
                                                 .arg(moon.moon.name(), moon.bar.name())
                                                 .arg(contrast)));
    }

    // The panel opens at the top right, below the bar, under the moon at the bar's right end,
    // on the layer shell, off any taskbar.
    void clickOpensPanelBelowMoon()
    {
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        QVERIFY2(moon.area.left() > desktop.bar().width() - 285,
                 qPrintable(QStringLiteral("moon at x %1").arg(moon.area.left())));
        QVERIFY(clickOpensPanel(moon));
        QCOMPARE(desktop.windowCount(), 1);
        // Not a window in sway's tree, which taskbars (waybar's own) list.
        QVERIFY(!desktop.session().windowPids().contains(programPid()));
    }

    void closes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape") << QStringLiteral("Escape");
        QTest::newRow("the moon again") << QStringLiteral("moon");
        QTest::newRow("click elsewhere") << QStringLiteral("elsewhere");
    }

    // sway gives the panel, on its layer shell, the keyboard back whenever another window
    // takes it: no loss of focus closes it, but a click elsewhere does, as on any desktop.
    void closes()
    {
        QFETCH(QString, how);
        const Moon moon = launchAndWaitForMoon();
        QVERIFY(clickOpensPanel(moon));
        if (how == QLatin1String("Escape")) {
            QCOMPARE(desktop.press(TrayDesktop::Key::escape), std::nullopt);
        } else if (how == QLatin1String("moon")) {
            // A click of its own, not the second half of a double click: waybar activates the
            // item on the double click's extra press too, which would open the panel again.
            QTest::qWait(gtkDoubleClickTime + 100);
            QCOMPARE(desktop.click(moon.area.center(), 1), std::nullopt);
        } else {
            const QImage screen = desktop.screen();
            QCOMPARE(desktop.click({screen.width() / 4, screen.height() / 2}, 1), std::nullopt);
        }
        QVERIFY(eventually([&] { return desktop.windowCount() == 0; }));
        QCOMPARE(program->state(), QProcess::Running);
    }

    // A quit whose editor asks to save: the user clicks the question, which closes the panel,
    // and clicks it again to answer; the next click on the moon shows the result, the editor
    // still open with its Force Quit.
    void resultSurvivesSaveQuestion()
    {
        SwaySession& sway = desktop.session();
        sway.installDesktopEntry(
            QStringLiteral("nimbrel-notes.desktop"),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Unsaved Notes\nExec=%1 %2\n"
                           "StartupWMClass=nimbrel-unsaved-notes\n")
                .arg(QStringLiteral(NIMBREL_TEST_PYTHON), notesScript));
        const QString log = sway.scratchPath(QStringLiteral("unsaved.log"));
        editor = sway.apps().start(QStringLiteral(NIMBREL_TEST_PYTHON), {notesScript},
                                   {{"NIMBREL_TEST_LOG", log}});
        QVERIFY(editor);
        const pid_t editorPid = pid_t(editor->processId());
        QVERIFY(eventually([&] { return sway.focusedPid() == editorPid; }));
        const Moon moon = launchAndWaitForMoon();
        QVERIFY(clickOpensPanel(moon));
        // Return is the panel's main action.
        QCOMPARE(desktop.press(TrayDesktop::Key::enter), std::nullopt);
        QVERIFY(eventually([&] { return fileHolds(log, "asked"); }));
        const QImage screen = desktop.screen();
        const QPoint question(screen.width() / 2, screen.height() / 2);
        QCOMPARE(desktop.click(question, 1), std::nullopt);
        QVERIFY(eventually([&] { return desktop.windowCount() == 0; }));
        QCOMPARE(desktop.click(question, 1), std::nullopt);
        QVERIFY(eventually([&] { return sway.focusedPid() == editorPid; }));
        QVERIFY(clickOpensPanel(moon));
        QVERIFY(eventually([&] { return desktop.focusButton(QStringLiteral("Force Quit")); }));
        QVERIFY(desktop.focusButton(QStringLiteral("Reopen")));
    }

    // waybar shows the item's menu itself; only Nimbrel's has "Open Nimbrel" as its first row.
    // The menu takes no keys on waybar's layer: its row is clicked.
    void rightClickShowsNimbrelMenu()
    {
        const Moon moon = launchAndWaitForMoon();
        QVERIFY2(moon.area.isValid(), "the tray shows no moon");
        // GTK puts the menu's corner at the pointer, over the bar, beside the moon.
        const QRect beside(moon.area.left() - 300, 0, 296, 240);
        const QImage bare = desktop.screen().copy(beside);
        QCOMPARE(desktop.click(moon.area.center(), 3), std::nullopt);
        const std::optional<QRect> menu = heldStill(
            [&]() -> std::optional<QRect> {
                const QRect changed = changedArea(desktop.screen().copy(beside), bare);
                return changed.isEmpty() ? std::nullopt : std::optional(changed);
            },
            showTimeout);
        QVERIFY2(menu, "no menu below the moon");
        QCOMPARE(desktop.windowCount(), 0);
        const QPoint firstRow(beside.left() + menu->center().x(), menu->top() + 14);
        QCOMPARE(desktop.click(firstRow, 1), std::nullopt);
        QVERIFY(eventually([&] { return desktop.showsPanel(programPid()); }));
    }
};

QTEST_GUILESS_MAIN(TestWaybarTray)
#include "tst_WaybarTray.moc"
