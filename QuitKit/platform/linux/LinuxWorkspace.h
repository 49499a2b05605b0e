#pragma once

#include "ProcessWatcher.h"
#include "TerminationObservers.h"
#include "Workspace.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// What every Linux desktop backend shares: apps named after their desktop entries and launched
// through GIO, followed to their end by pidfds, observers told on the main thread, requests
// counted until they have gone out, and a list brought up to date once per turn of the loop.
class LinuxWorkspace : public QObject, public Workspace
{
    Q_OBJECT

public:
    void whenRequestsSent(std::function<void()> done) override;
    bool forceQuit(pid_t pid) override;
    ObserverToken addTerminationObserver(TerminationObserver observer) override;
    void removeTerminationObserver(ObserverToken token) override;
    std::optional<QString> installedDesktopFile(const QString& desktopId) override;
    QIcon desktopFileIcon(const QString& desktopFile) override;
    QIcon genericAppIcon() override;
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
