#include "Quitter.h"

#include "MainThread.h"
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

Quitter::Quitter(Workspace& workspace_) : workspace(workspace_) {}

QCoro::Task<Quitter::Report> Quitter::quit(QList<AppEntry> apps, double timeout,
                                           ProgressCallback onChange)
{
    co_await ToMainThread{};

    Report report;
    QHash<pid_t, AppEntry> pending;
    for (const AppEntry& app : apps) {
        if (hasGone(workspace, app.pid)) {
            report.closed.append(app);
            continue;
        }
        pending.insert(app.pid, app);
        workspace.requestQuit(app.pid);
    }
    if (pending.isEmpty())
        co_return report;

    // From here on the run touches only the wait, so a quitter destroyed meanwhile is harmless.
    auto wait = std::make_shared<Wait>(workspace, std::move(report), std::move(pending),
                                       std::move(onChange));
    // Named, not a temporary of the co_await: g++ 12 may destroy such temporaries twice when
    // the awaiter does not suspend.
    ReportAwaiter finished([wait, timeout, &workspace = workspace](ReportAwaiter::Completion done) {
        // The wait begins once every request is out, so even a zero time-out asks every app.
        workspace.whenRequestsSent(
            [wait, timeout, done = std::move(done)] { wait->start(timeout, done); });
    });
    Report final = co_await finished;
    co_return final;
}

bool Quitter::forceQuit(const AppEntry& app)
{
    if (!workspace.runningApplication(app.pid))
        return false;
    return workspace.forceQuit(app.pid);
}

bool Quitter::hasGone(Workspace& workspace, pid_t pid)
{
    const std::optional<RunningApplication> running = workspace.runningApplication(pid);
    return !running || running->hasExited;
}
