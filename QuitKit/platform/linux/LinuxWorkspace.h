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
    bool forceTerminate(pid_t pid) override;
    ObserverToken addTerminationObserver(TerminationObserver observer) override;
    void removeTerminationObserver(ObserverToken token) override;
    std::optional<QString> applicationLocation(const QString& bundleID) override;
    QIcon iconForFile(const QString& location) override;
    QIcon genericApplicationIcon() override;
    void openApplication(const QString& location) override;

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
    // A request prepared asynchronously; requestSent() when it has gone out.
    void requestStarted() { ++requestsInFlight; }
    void requestSent();
    // Tells observers of an ended app outside the read that found out.
    void notifyLater(pid_t pid);

    const QString procRoot;
    ProcessWatcher watcher;
    TerminationObservers observers;
    bool stale = true;

private:
    bool updateScheduled = false;
    int requestsInFlight = 0;
    QList<std::function<void()>> whenSentCallbacks;
};
