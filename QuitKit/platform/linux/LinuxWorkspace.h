#pragma once

#include "DesktopEntry.h"
#include "LinuxProcess.h"
#include "ProcessWatcher.h"
#include "TerminationObservers.h"
#include "Workspace.h"

#include <QList>
#include <QObject>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

// What every Linux desktop backend shares: apps named after their desktop entries and launched
// through GIO, followed to their end by pidfds, observers told on the main thread, requests
// counted until they have gone out, and a list brought up to date once per turn of the loop.
class LinuxWorkspace : public QObject, public Workspace
{
    Q_OBJECT

public:
    /// Why no apps are listed; nothing while it works.
    virtual std::optional<QString> problem() const = 0;

    std::optional<ListingGap> listingGap() override;
    // Only X11 shows other programs a window's own icon.
    AppIcon windowIcon(pid_t) override { return {}; }
    void whenRequestsSent(std::function<void()> done) override;
    ForceQuitState forceQuitState(pid_t pid) override;
    bool forceQuit(pid_t pid) override;
    ObserverToken addTerminationObserver(TerminationObserver observer) override;
    void removeTerminationObserver(ObserverToken token) override;
    std::optional<QString> installedDesktopFile(const QString& desktopId) override;
    AppIcon desktopFileIcon(const QString& desktopFile) override;
    bool canLaunchDesktopFile(const QString& desktopFile) override;
    void launchDesktopFile(const QString& desktopFile) override;

protected:
    explicit LinuxWorkspace(const QString& procRoot, QObject* parent = nullptr);

    // Brings the list up to date when it is stale.
    virtual void update() = 0;
    // The start time of the verified app with this pid; nothing for any other id.
    virtual std::optional<quint64> verifiedStartTime(pid_t pid) = 0;
    // The desktop went away for good: observers that come later hear of it too.
    virtual bool isLost() const { return false; }

    // The list is stale; update() runs once on the next turn of the event loop.
    void markStale();
    // Asks the app to quit through its GApplication "quit" action at `busName`/`objectPath`
    // when the bus name's owner is a process `isAppProcess` accepts; `refused` runs when the app
    // cannot be asked that way. A request in flight until the answer is in.
    void quitThroughAction(const QString& busName, const QString& objectPath,
                           std::function<bool(pid_t)> isAppProcess, std::function<void()> refused);
    // Tells observers of an ended app outside the read that found out.
    void notifyLater(pid_t pid);

    const QString procRoot;
    ProcessWatcher watcher;
    TerminationObservers observers;
    bool stale = true;

private:
    void requestSent();

    bool updateScheduled = false;
    int requestsInFlight = 0;
    QList<std::function<void()>> whenSentCallbacks;
};

// A backend's list of apps, in the order first seen: each under the pid of its process, told
// apart from a later process of that pid by start time, or under a negative id while no process
// of it is verified; named after its desktop entry. `Part` is what the backend keeps of each
// app besides: its windows, its app unit.
template <typename Part> class AppTableWorkspace : public LinuxWorkspace
{
public:
    QList<RunningApplication> runningApplications() override
    {
        update();
        const std::function<bool(const App&)> isLeftOut = leftOut();
        QList<RunningApplication> list;
        for (const App& app : std::as_const(apps)) {
            if (!isLeftOut(app))
                list.append(describe(app));
        }
        return list;
    }

    std::optional<RunningApplication> runningApplication(pid_t pid) override
    {
        update();
        const App* app = find(pid);
        if (!app || leftOut()(*app))
            return std::nullopt;
        return describe(*app);
    }

protected:
    struct App : Part {
        pid_t pid = 0;
        quint64 startTime = 0;
        std::optional<DesktopEntry> entry;
    };

    explicit AppTableWorkspace(const QString& procFolder, QObject* parent = nullptr)
        : LinuxWorkspace(procFolder, parent)
    {
        connect(&watcher, &ProcessWatcher::processEnded, this, [this](pid_t pid) {
            forget(pid);
            // What it showed may outlive it (windows a child holds, its unit): read them again.
            markStale();
            observers.notify(pid);
        });
    }

    // The name of an app whose desktop entry gives none; empty when there is none either.
    virtual QString fallbackName(const App& app) const = 0;
    virtual bool isOnTaskbar(const App&) const { return true; }
    virtual QList<std::uint32_t> windowIds(const App&) const { return {}; }
    // Which apps another backend lists instead, decided once per look at the list.
    virtual std::function<bool(const App&)> leftOut() const
    {
        return [](const App&) { return false; };
    }
    // The app `pid` was dropped: what else the backend keeps of it goes too.
    virtual void dropped(pid_t) {}

    // The ids of those of `windows` that `accept` takes, in their order.
    template <typename Window, typename Accept>
    static QList<std::uint32_t> idsOf(const QList<Window>& windows, Accept accept)
    {
        QList<std::uint32_t> ids;
        for (const Window& window : windows) {
            if (accept(window))
                ids.append(window.id);
        }
        return ids;
    }
    template <typename Window> static QList<std::uint32_t> idsOf(const QList<Window>& windows)
    {
        return idsOf(windows, [](const Window&) { return true; });
    }
    // Puts `window` after the taskbar windows of `windows` (those `isTaskbar` accepts) when
    // `taskbar`, else last: taskbar windows are the ones to activate, close and match by.
    template <typename Window, typename IsTaskbar>
    static void insertWindow(QList<Window>& windows, const Window& window, bool taskbar,
                             IsTaskbar isTaskbar)
    {
        windows.insert(taskbar ? std::count_if(windows.cbegin(), windows.cend(), isTaskbar)
                               : windows.size(),
                       window);
    }

    // The app's pid names a process of it that was verified.
    static bool isVerified(const App& app) { return app.pid > 0; }

    App* find(pid_t pid)
    {
        const auto found = std::find_if(apps.begin(), apps.end(),
                                        [pid](const App& app) { return app.pid == pid; });
        return found == apps.end() ? nullptr : &*found;
    }

    // The app `pid`, brought up to date, while its process has not ended.
    App* stillRunning(pid_t pid)
    {
        update();
        App* app = find(pid);
        if (!app || (isVerified(*app) && LinuxProcess::hasEnded(pid, app->startTime, procRoot)))
            return nullptr;
        return app;
    }

    std::optional<quint64> verifiedStartTime(pid_t pid) override
    {
        const App* app = find(pid);
        return app && isVerified(*app) ? std::optional(app->startTime) : std::nullopt;
    }

    void forget(pid_t pid)
    {
        watcher.unwatch(pid);
        dropped(pid);
        apps.removeIf([pid](const App& app) { return app.pid == pid; });
    }

    // The desktop went away: no app is left to follow.
    void forgetAll()
    {
        const QList<App> all = std::exchange(apps, {});
        for (const App& app : all) {
            watcher.unwatch(app.pid);
            dropped(app.pid);
        }
    }

    QList<App> apps;

private:
    RunningApplication describe(const App& app) const
    {
        RunningApplication running;
        running.onTaskbar = isOnTaskbar(app);
        // With no process to follow, an app has ended when its windows have.
        running.hasExited = isVerified(app)
                                ? LinuxProcess::hasEnded(app.pid, app.startTime, procRoot)
                                : windowIds(app).isEmpty();
        running.pid = app.pid;
        if (app.entry) {
            running.desktopId = app.entry->id;
            running.desktopFile = app.entry->filename;
            running.categories = app.entry->categories;
            if (!app.entry->name.isEmpty())
                running.name = app.entry->name;
        }
        if (const QString name = fallbackName(app); !running.name && !name.isEmpty())
            running.name = name;
        return running;
    }
};
