#include "NimbrelChecks.h"

#include "AtomicWrite.h"
#include "CheckResult.h"
#include "Localization.h"
#include "NimbrelMenu.h"
#include "NimbrelProgram.h"
#include "PanelView.h"
#include "ProcessMemory.h"
#include "QuitModel.h"
#include "SettingsStore.h"
#include "Theme.h"
#include "Workspace.h"

#include <QApplication>
#include <QCoroTask>
#include <QCoroTimer>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QQuickView>
#include <QScreen>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

// What QtTest itself uses to send a key through the application's shortcuts, as a keyboard does.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* receiver, ulong timestamp, int key,
                                               Qt::KeyboardModifiers modifiers, const QString& text,
                                               bool autorepeat, ushort count);

namespace NimbrelChecks
{

namespace
{

using namespace std::chrono_literals;

struct KeyRow {
    const char* title;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

const KeyRow keyRows[] = {
    {"Undo", Qt::Key_Z, Qt::ControlModifier},
    {"Redo", Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier},
    {"Cut", Qt::Key_X, Qt::ControlModifier},
    {"Copy", Qt::Key_C, Qt::ControlModifier},
    {"Paste", Qt::Key_V, Qt::ControlModifier},
    {"Select All", Qt::Key_A, Qt::ControlModifier},
    {"Close", Qt::Key_W, Qt::ControlModifier},
    {"Settings…", Qt::Key_Comma, Qt::ControlModifier},
    {"Quit Nimbrel", Qt::Key_Q, Qt::ControlModifier},
};

// Milliseconds of a pause of `seconds`.
std::chrono::milliseconds lasting(double seconds)
{
    return std::chrono::milliseconds(std::llround(seconds * 1000));
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

// Ctrl+W as the keyboard sends it: to the active window, else to the program window.
void pressCloseKey(NimbrelProgram& program)
{
    QWidget* target = QApplication::activeWindow();
    if (!target)
        target = program.windows().window();
    if (!target)
        return;
    if (qt_sendShortcutOverrideEvent(target, 0, Qt::Key_W, Qt::ControlModifier, QStringLiteral("w"),
                                     false, 1))
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_W, Qt::ControlModifier, QStringLiteral("w"));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_W, Qt::ControlModifier, QStringLiteral("w"));
    QApplication::sendEvent(target, &release);
}

QCoro::Task<> checkMenus(QString resultFile, NimbrelProgram* program)
{
    QStringList passes;
    QStringList failures;
    QCoro::Task<> settle = QCoro::sleepFor(lasting(0.6));
    co_await settle;

    const QMenuBar* mainMenu = program->windows().menuBar();
    for (const KeyRow& row : keyRows) {
        const QString title = L(QString::fromUtf8(row.title));
        const QAction* item = mainMenu ? CheckResult::find(title, *mainMenu) : nullptr;
        if (item && keyMatches(*item, row))
            passes << QStringLiteral("ok menu bar ") + title;
        else
            failures << QStringLiteral("menu bar: ") + title;
    }
    for (const char* name : {"Check for Updates…", "Show Tutorial"}) {
        const QString title = L(QString::fromUtf8(name));
        if (mainMenu && CheckResult::find(title, *mainMenu))
            passes << QStringLiteral("ok menu bar ") + title;
        else
            failures << QStringLiteral("menu bar: missing ") + title;
    }
    const std::unique_ptr<QMenu> statusMenu(NimbrelMenu::statusMenu(*program));
    for (const char* name : {"Settings…", "Quit Nimbrel", "Check for Updates…", "Show Tutorial"}) {
        const QString title = L(QString::fromUtf8(name));
        if (CheckResult::find(title, *statusMenu))
            passes << QStringLiteral("ok status menu ") + title;
        else
            failures << QStringLiteral("status menu: missing ") + title;
    }

    program->showSettings();
    QCoro::Task<> shown = QCoro::sleepFor(lasting(0.5));
    co_await shown;
    if (NimbrelWindow* window = program->windows().window())
        window->cancelOperation();
    QCoro::Task<> escaped = QCoro::sleepFor(lasting(0.4));
    co_await escaped;
    if (windowShown(*program))
        failures << QStringLiteral("Esc did not close the window");
    else
        passes << QStringLiteral("ok Esc closes a window");

    program->showSettings();
    QCoro::Task<> shownAgain = QCoro::sleepFor(lasting(0.5));
    co_await shownAgain;
    if (program->windows().taskbarPresence() == ProgramWindows::TaskbarPresence::Taskbar)
        passes << QStringLiteral("ok menu bar while a window is open");
    else
        failures << QStringLiteral("no menu bar while a window is open");
    pressCloseKey(*program);
    QCoro::Task<> closed = QCoro::sleepFor(lasting(0.5));
    co_await closed;
    if (windowShown(*program))
        failures << QStringLiteral("⌘W did not close the window");
    else
        passes << QStringLiteral("ok ⌘W closes a window");
    if (program->windows().taskbarPresence() == ProgramWindows::TaskbarPresence::TrayOnly)
        passes << QStringLiteral("ok back to the menu bar only");
    else
        failures << QStringLiteral("still in the Dock");
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
    program->showTutorial();
    QCoro::Task<> shown = QCoro::sleepFor(lasting(0.8));
    co_await shown;
    check(windowShown(*program), QStringLiteral("the tutorial opens"));
    const qsizetype appsAfter = program->workspaceService().runningApplications().size();
    check(appsAfter >= appsBefore - 1, QStringLiteral("nothing real was quit by the sample"));

    program->finishTutorial();
    QCoro::Task<> skipped = QCoro::sleepFor(lasting(0.4));
    co_await skipped;
    check(!windowShown(*program), QStringLiteral("Skip closes it"));
    check(program->firstRun().tutorialSeen(), QStringLiteral("remembered as seen"));

    QAction* showTutorial =
        program->windows().menuBar()
            ? CheckResult::find(L("Show Tutorial"), *program->windows().menuBar())
            : nullptr;
    if (showTutorial) {
        showTutorial->trigger();
        QCoro::Task<> again = QCoro::sleepFor(lasting(0.6));
        co_await again;
        check(windowShown(*program), QStringLiteral("Help › Show Tutorial brings it back"));
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
        panel->setGeometry(QRect(QPoint(), PanelView::size));
        panel->show();
        QCoro::Task<> drawn = QCoro::sleepFor(lasting(0.7));
        co_await drawn;
        report << save(directory, QStringLiteral("nimbrel-list-") + appearance,
                       panel->grabWindow());

        QCoro::Task<> sample = model->quitAll();
        co_await sample;
        QCoro::Task<> finished = QCoro::sleepFor(lasting(0.5));
        co_await finished;
        report << save(directory, QStringLiteral("nimbrel-done-") + appearance,
                       panel->grabWindow());
        panel.reset();

        program->showTutorial();
        QCoro::Task<> tutorial = QCoro::sleepFor(lasting(0.8));
        co_await tutorial;
        NimbrelWindow* window = program->windows().window();
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
    // Start-up is still under way; a result written now could not end the event loop.
    QCoro::Task<> running = QCoro::sleepFor(0ms);
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
