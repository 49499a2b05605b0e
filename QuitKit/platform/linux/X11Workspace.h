#pragma once

#include "DesktopEntry.h"
#include "DesktopFileMatcher.h"
#include "ProcessWatcher.h"
#include "TerminationObservers.h"
#include "Workspace.h"
#include "X11Window.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class X11Connection;

// The running apps of an X11 desktop: every process that owns a window the window manager
// manages, kept current from the server's events and told apart by start time. An app with a
// taskbar window is regular; one whose windows are all hidden from the taskbar, or gone while
// the process lives on, is background.
class X11Workspace : public QObject, public Workspace
{
    Q_OBJECT

public:
    // Connects to `displayName`, or to $DISPLAY when it is empty.
    explicit X11Workspace(const QByteArray& displayName = {},
                          const QString& procRoot = QStringLiteral("/proc"),
                          QObject* parent = nullptr);
    ~X11Workspace() override;

    /// Why no apps are listed (no display, the server went away); nothing while it works.
    std::optional<QString> problem() const;

    QList<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> runningApplication(pid_t pid) override;
    bool terminate(pid_t pid) override;
    bool forceTerminate(pid_t pid) override;
    bool activate(pid_t pid) override;
    ObserverToken addTerminationObserver(TerminationObserver observer) override;
    void removeTerminationObserver(ObserverToken token) override;
    std::optional<QString> applicationLocation(const QString& bundleID) override;
    QIcon iconForFile(const QString& location) override;
    QIcon windowIcon(pid_t pid) override;
    QIcon genericApplicationIcon() override;
    void openApplication(const QString& location) override;

private:
    struct App {
        pid_t pid = 0;
        quint64 startTime = 0;
        std::optional<DesktopEntry> entry;
        QList<X11Window> windows; // taskbar windows first
    };

    void update();
    void refresh();
    void ended(pid_t pid);
    void forget(pid_t pid);
    bool reportProblem();
    App* find(pid_t pid);
    App* find(pid_t pid, quint64 startTime);
    RunningApplication describe(const App& app) const;
    QList<std::uint32_t> taskbarWindows(const App& app) const;
    bool closeWindows(pid_t pid, quint64 startTime);

    std::unique_ptr<X11Connection> connection;
    QString procRoot;
    DesktopFileMatcher matcher;
    ProcessWatcher watcher;
    QList<App> apps; // in the order first seen
    TerminationObservers observers;
    bool stale = true;
    bool problemReported = false;
};
