#include "NimbrelChecks.h"

#include "AtomicWrite.h"
#include "CheckResult.h"
#include "NimbrelMenu.h"
#include "NimbrelProgram.h"
#include "PanelView.h"
#include "ProcessMemory.h"
#include "QuitModel.h"
#include "SettingsStore.h"
#include "Theme.h"
#include "Workspace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCoroTask>
#include <QCoroTimer>
#include <QDeadlineTimer>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QQuickView>
#include <QScreen>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace NimbrelChecks
{

namespace
{

using namespace std::chrono_literals;

// Long enough for a loaded machine to show a window; a wait ends as soon as its condition holds.
constexpr auto patience = 20s;
constexpr auto pollInterval = 10ms;

struct KeyRow {
    const char* title;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

const KeyRow keyRows[] = {
    {QT_TRANSLATE_NOOP("Nimbrel", "Undo"), Qt::Key_Z, Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Redo"), Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Cut"), Qt::Key_X, Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Copy"), Qt::Key_C, Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Paste"), Qt::Key_V, Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Select All"), Qt::Key_A, Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Close"), Qt::Key_W, Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Settings…"), Qt::Key_Comma, Qt::ControlModifier},
    {QT_TRANSLATE_NOOP("Nimbrel", "Quit Nimbrel"), Qt::Key_Q, Qt::ControlModifier},
};

// Milliseconds of a pause of `seconds`.
std::chrono::milliseconds lasting(double seconds)
{
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

// Start-up is still under way until the event loop runs; a result written before could not end it.
QCoro::Task<> eventLoopRunning()
{
    QCoro::Task<> next = QCoro::sleepFor(0ms);
    co_await next;
}

// Lets events run until `holds` is true or `patience` has passed; whether it came true.
QCoro::Task<bool> until(std::function<bool()> holds)
{
    const QDeadlineTimer deadline(patience);
    while (!holds()) {
        if (deadline.hasExpired())
            co_return false;
        QCoro::Task<> poll = QCoro::sleepFor(pollInterval);
        co_await poll;
    }
    co_return true;
}

// Draws `view` afresh and waits until that frame is on screen.
QCoro::Task<bool> drawn(QQuickWindow* view)
{
    // Shared with the slot, which the render thread's signal may queue past this wait.
    const auto swapped = std::make_shared<bool>(false);
    const QMetaObject::Connection watch =
        QObject::connect(view, &QQuickWindow::frameSwapped, view, [swapped] { *swapped = true; });
    view->update();
    QCoro::Task<bool> frame = until([swapped] { return *swapped; });
    const bool shown = co_await frame;
    QObject::disconnect(watch);
    co_return shown;
}

bool keyMatches(const QAction& item, const KeyRow& row)
{
    const QKeySequence shortcut = item.shortcut();
    if (shortcut.isEmpty())
        return false;
    const Qt::KeyboardModifiers checked =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return shortcut[0].key() == row.key &&
           (shortcut[0].keyboardModifiers() & checked) == row.modifiers;
}

bool windowShown(NimbrelProgram& program)
{
    return program.windows().window() && program.windows().window()->isVisible();
}

// Mapped and exposed, so its content can draw.
bool windowOnScreen(NimbrelProgram& program)
{
    return windowShown(program) && program.windows().window()->content()->isExposed();
}

// The window manager has brought it to the front and given it the keyboard.
bool windowActive(NimbrelProgram& program)
{
    return windowShown(program) && program.windows().window()->isActiveWindow();
}

// Ctrl+W as the keyboard sends it: to the active window, else to the program window. A key press
// sent to a widget goes through the application's shortcuts first, as a typed one does.
void pressCloseKey(NimbrelProgram& program)
{
    QWidget* target = QApplication::activeWindow();
    if (!target)
        target = program.windows().window();
    if (!target)
        return;
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_W, Qt::ControlModifier, QStringLiteral("w"));
        QApplication::sendEvent(target, &key);
    }
}

QCoro::Task<> checkMenus(QString resultFile, NimbrelProgram* program)
{
    QStringList passes;
    QStringList failures;
    QCoro::Task<> running = eventLoopRunning();
    co_await running;

    const QMenuBar* mainMenu = program->windows().menuBar();
    for (const KeyRow& row : keyRows) {
        const QString title = QCoreApplication::translate("Nimbrel", row.title);
        const QAction* item = mainMenu ? CheckResult::find(title, *mainMenu) : nullptr;
        if (item && keyMatches(*item, row))
            passes << QStringLiteral("ok menu bar ") + title;
        else
            failures << QStringLiteral("menu bar: ") + title;
    }
    for (const char* name : {QT_TRANSLATE_NOOP("Nimbrel", "Check for Updates…"),
                             QT_TRANSLATE_NOOP("Nimbrel", "Show Tutorial")}) {
        const QString title = QCoreApplication::translate("Nimbrel", name);
        if (mainMenu && CheckResult::find(title, *mainMenu))
            passes << QStringLiteral("ok menu bar ") + title;
        else
            failures << QStringLiteral("menu bar: missing ") + title;
    }
    const std::unique_ptr<QMenu> statusMenu(NimbrelMenu::statusMenu(*program));
    for (const char* name :
         {QT_TRANSLATE_NOOP("Nimbrel", "Settings…"), QT_TRANSLATE_NOOP("Nimbrel", "Quit Nimbrel"),
          QT_TRANSLATE_NOOP("Nimbrel", "Check for Updates…"),
          QT_TRANSLATE_NOOP("Nimbrel", "Show Tutorial")}) {
        const QString title = QCoreApplication::translate("Nimbrel", name);
        if (CheckResult::find(title, *statusMenu))
            passes << QStringLiteral("ok status menu ") + title;
        else
            failures << QStringLiteral("status menu: missing ") + title;
    }

    const auto active = [program] { return windowActive(*program); };
    const auto closed = [program] { return !windowShown(*program); };
    program->showSettings();
    QCoro::Task<bool> shown = until(active);
    co_await shown;
    if (NimbrelWindow* window = program->windows().window())
        window->cancelOperation();
    QCoro::Task<bool> escaping = until(closed);
    const bool escaped = co_await escaping;
    if (escaped)
        passes << QStringLiteral("ok Esc closes a window");
    else
        failures << QStringLiteral("Esc did not close the window");

    program->showSettings();
    QCoro::Task<bool> shownAgain = until(active);
    co_await shownAgain;
    if (program->windows().taskbarPresence() == ProgramWindows::TaskbarPresence::Taskbar)
        passes << QStringLiteral("ok menu bar while a window is open");
    else
        failures << QStringLiteral("no menu bar while a window is open");
    pressCloseKey(*program);
    QCoro::Task<bool> closing = until(closed);
    const bool closedByKey = co_await closing;
    if (closedByKey)
        passes << QStringLiteral("ok Ctrl+W closes a window");
    else
        failures << QStringLiteral("Ctrl+W did not close the window");
    QCoro::Task<bool> leaving = until([program] {
        return program->windows().taskbarPresence() == ProgramWindows::TaskbarPresence::TrayOnly;
    });
    const bool trayOnly = co_await leaving;
    if (trayOnly)
        passes << QStringLiteral("ok back to the system tray only");
    else
        failures << QStringLiteral("still in the taskbar");
    write(passes, failures, resultFile);
}

QCoro::Task<> checkTutorial(QString resultFile, NimbrelProgram* program)
{
    QStringList passes;
    QStringList failures;
    const auto check = [&](bool condition, const QString& text) {
        if (condition)
            passes << QStringLiteral("ok ") + text;
        else
            failures << text;
    };
    check(!program->firstRun().tutorialSeen(),
          QStringLiteral("a fresh install hasn't seen the tutorial"));
    const qsizetype appsBefore = program->workspaceService().runningApplications().size();
    const auto onScreen = [program] { return windowOnScreen(*program); };
    program->showTutorial();
    QCoro::Task<bool> shown = until(onScreen);
    const bool opened = co_await shown;
    check(opened, QStringLiteral("the tutorial opens"));
    const qsizetype appsAfter = program->workspaceService().runningApplications().size();
    check(appsAfter >= appsBefore - 1, QStringLiteral("nothing real was quit by the sample"));

    program->finishTutorial();
    QCoro::Task<bool> skipped = until([program] { return !windowShown(*program); });
    const bool closed = co_await skipped;
    check(closed, QStringLiteral("Skip closes it"));
    check(program->firstRun().tutorialSeen(), QStringLiteral("remembered as seen"));

    QAction* showTutorial =
        program->windows().menuBar()
            ? CheckResult::find(QCoreApplication::translate("Nimbrel", "Show Tutorial"),
                                *program->windows().menuBar())
            : nullptr;
    if (showTutorial) {
        showTutorial->trigger();
        QCoro::Task<bool> again = until(onScreen);
        const bool reopened = co_await again;
        check(reopened, QStringLiteral("Help › Show Tutorial brings it back"));
        program->finishTutorial();
    } else {
        failures << QStringLiteral("Help › Show Tutorial missing");
    }

    SettingsStore store =
        SettingsStore::suiteOrStandard(QStringLiteral("dev.corvane.Nimbrel.check"));
    const std::unique_ptr<QuitModel> model = program->firstRun().sampleModel(store);
    model->refresh();
    QCoro::Task<> sample = model->quitAll();
    co_await sample;
    if (const std::optional<Quitter::Report> report = model->phase().report())
        check(report->closed.size() == 6, QStringLiteral("the sample closes six apps — “") +
                                              report->headline() + QStringLiteral("”"));
    else
        failures << QStringLiteral("the sample didn't finish");
    write(passes, failures, resultFile);
}

// Saves `image` as NAME.png in `directory` and returns its report line.
QString save(const QString& directory, const QString& name, const QImage& image)
{
    if (image.isNull())
        return QStringLiteral("FAIL ") + name;
    image.save(QDir(directory).filePath(name + QStringLiteral(".png")), "PNG");
    return QStringLiteral("%1: %2×%3").arg(name).arg(image.width()).arg(image.height());
}

// The program window as the screen shows it, the window manager's frame included.
QImage framedPicture(const QWidget& window)
{
    QScreen* screen = window.screen();
    if (!screen)
        return {};
    const QRect frame = window.frameGeometry();
    return screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
}

QCoro::Task<> takeSnapshots(QString directory, NimbrelProgram* program)
{
    QStringList report;
    SettingsStore store =
        SettingsStore::suiteOrStandard(QStringLiteral("dev.corvane.Nimbrel.snap"));
    for (const QString& appearance : {QStringLiteral("light"), QStringLiteral("dark")}) {
        Theme::instance()->setDark(appearance == QLatin1String("dark"));
        const std::unique_ptr<QuitModel> model = program->firstRun().sampleModel(store);
        std::unique_ptr<QQuickView> panel = program->tray().panelView(*model);
        panel->setFlags(Qt::FramelessWindowHint);
        panel->setPosition(0, 0);
        PanelView::fitToContent(*panel);
        panel->show();
        QCoro::Task<bool> listed = drawn(panel.get());
        co_await listed;
        report << save(directory, QStringLiteral("nimbrel-list-") + appearance,
                       panel->grabWindow());

        QCoro::Task<> sample = model->quitAll();
        co_await sample;
        QCoro::Task<bool> finished = drawn(panel.get());
        co_await finished;
        report << save(directory, QStringLiteral("nimbrel-done-") + appearance,
                       panel->grabWindow());
        panel.reset();

        // The screen is grabbed where the window is, so it must be framed and in front.
        program->showTutorial();
        QCoro::Task<bool> inFront = until([program] { return windowActive(*program); });
        co_await inFront;
        NimbrelWindow* window = program->windows().window();
        if (window) {
            QCoro::Task<bool> tutorial = drawn(window->content());
            co_await tutorial;
        }
        report << save(directory, QStringLiteral("nimbrel-tutorial-") + appearance,
                       window ? framedPicture(*window) : QImage());
        if (window)
            window->hide();
    }
    writeAtomically(QDir(directory).filePath(QStringLiteral("report.txt")),
                    (report.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    QCoreApplication::exit(0);
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

QCoro::Task<> measureIdle(QString resultFile, NimbrelProgram* program)
{
    QCoro::Task<> running = eventLoopRunning();
    co_await running;
    const QString setting = qEnvironmentVariableIsSet("NIMBREL_IDLE_SECONDS")
                                ? qEnvironmentVariable("NIMBREL_IDLE_SECONDS")
                                : QStringLiteral("300");
    bool numeric = false;
    double seconds = setting.toDouble(&numeric);
    if (!numeric)
        seconds = 300;
    // A wait must be a positive, finite number of nanoseconds that fits the timer.
    const double longest = double(std::numeric_limits<int>::max()) / 1000;
    if (numeric && (!std::isfinite(seconds) || seconds <= 0 || seconds > longest)) {
        write({}, {QStringLiteral("NIMBREL_IDLE_SECONDS=%1 is not a usable length").arg(setting)},
              resultFile);
        co_return;
    }
    QCoro::Task<> settle = QCoro::sleepFor(20s);
    co_await settle;
    const double before = processorSeconds();
    QCoro::Task<> idle = QCoro::sleepFor(lasting(seconds));
    co_await idle;
    const double used = processorSeconds() - before;
    const double megabytes =
        double(ProcessMemory::footprint(program->processInfo(), getpid()).value_or(0)) / 1e6;
    const QString line = QString::asprintf("idle %.0f s: cpu %.4f s (%.4f%%), memory %.1f MB",
                                           seconds, used, used / seconds * 100, megabytes);
    QStringList failures;
    if (used / seconds >= 0.0005)
        failures << QStringLiteral("idle CPU over 0.05 %");
    write({line}, failures, resultFile);
}

} // namespace

void start(const StartupFlags::CheckRequest& request, NimbrelProgram& program)
{
    switch (request.check) {
    case StartupFlags::Check::Menus:
        return menus(request.path, program);
    case StartupFlags::Check::Tutorial:
        return tutorial(request.path, program);
    case StartupFlags::Check::WindowSnapshots:
        return snapshots(request.path, program);
    case StartupFlags::Check::IdleReport:
        return idle(request.path, program);
    }
}

// Each check runs on as a task of its own; dropping the task object does not stop it.
void menus(const QString& resultFile, NimbrelProgram& program)
{
    checkMenus(resultFile, &program);
}

void tutorial(const QString& resultFile, NimbrelProgram& program)
{
    checkTutorial(resultFile, &program);
}

void snapshots(const QString& directory, NimbrelProgram& program)
{
    QDir().mkpath(directory);
    takeSnapshots(directory, &program);
}

void idle(const QString& resultFile, NimbrelProgram& program)
{
    measureIdle(resultFile, &program);
}

void write(const QStringList& passes, const QStringList& failures, const QString& resultFile)
{
    writeAtomically(resultFile, CheckResult::text(passes, failures).toUtf8());
    QCoreApplication::exit(failures.isEmpty() ? 0 : 1);
}

} // namespace NimbrelChecks
