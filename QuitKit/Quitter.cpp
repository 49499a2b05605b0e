#include "Quitter.h"

#include "MainThread.h"
#include "QuitClock.h"
#include "QuitterWait.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QHash>
#include <QMetaObject>

#include <coroutine>
#include <functional>
#include <memory>
#include <optional>

namespace
{

// Resumes the awaiting coroutine on the main thread, from the event loop.
struct ToMainThread {
    bool await_ready() const noexcept { return isMainThread(); }
    void await_suspend(std::coroutine_handle<> caller) const
    {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            requireMainThread("Quitter::quit");
        QMetaObject::invokeMethod(
            app, [caller] { caller.resume(); }, Qt::QueuedConnection);
    }
    void await_resume() const noexcept {}
};

// Suspends the caller until a completion hands over the final report.
class ReportAwaiter
{
public:
    using Completion = std::function<void(const Quitter::Report&)>;
    using Starter = std::function<void(Completion)>;

    explicit ReportAwaiter(Starter start_) : start(std::move(start_)) {}

    bool await_ready() const noexcept { return false; }

    bool await_suspend(std::coroutine_handle<> caller)
    {
        // A run that ends inside start() must not resume the caller from within this call.
        starting = true;
        start([this, caller](const Quitter::Report& final) {
            report = final;
            finished = true;
            if (!starting)
                caller.resume();
        });
        starting = false;
        return !finished;
    }

    Quitter::Report await_resume() { return std::move(report); }

private:
    Starter start;
    Quitter::Report report;
    bool starting = false;
    bool finished = false;
};

} // namespace

Quitter::Quitter(Workspace& workspace_) : Quitter(workspace_, QuitClock::system()) {}

Quitter::Quitter(Workspace& workspace_, QuitClock& clock_) : workspace(workspace_), clock(clock_) {}

QCoro::Task<Quitter::Report> Quitter::quit(QList<AppEntry> apps, double timeout,
                                           ProgressCallback onChange)
{
    co_await ToMainThread{};

    Report report;
    QHash<pid_t, AppEntry> pending;
    QList<pid_t> toAsk;
    for (const AppEntry& app : apps) {
        if (hasGone(workspace, app.pid)) {
            report.closed.append(app);
            continue;
        }
        pending.insert(app.pid, app);
        toAsk.append(app.pid);
    }
    if (pending.isEmpty())
        co_return report;

    // From here on the run touches only the wait, so a quitter destroyed meanwhile is harmless.
    auto wait = std::make_shared<Wait>(workspace, std::move(report), std::move(pending),
                                       std::move(onChange));
    // Named, not a temporary of the co_await: g++ 12 may destroy such temporaries twice when
    // the awaiter does not suspend.
    ReportAwaiter finished([wait, timeout, toAsk, &clock = clock](ReportAwaiter::Completion done) {
        wait->start(clock, timeout, toAsk, std::move(done));
    });
    Report final = co_await finished;
    co_return final;
}

bool Quitter::forceQuit(const AppEntry& app)
{
    if (!workspace.runningApplication(app.pid) ||
        workspace.forceQuitState(app.pid) != ForceQuitState::possible)
        return false;
    return workspace.forceQuit(app.pid);
}

bool Quitter::hasGone(Workspace& workspace, pid_t pid)
{
    const std::optional<RunningApplication> running = workspace.runningApplication(pid);
    return !running || running->hasExited;
}
