#pragma once

#include "TerminationObservers.h"
#include "Workspace.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

// A workspace the tests script (which apps run, what a quit request does) and inspect
// (what was asked of it). Observers are called synchronously, as if on the main thread.
class FakeWorkspace : public Workspace
{
public:
    // Scripting
    void addApp(const RunningApplication& app);
    // The app ends: it is no longer found, and observers hear of it now.
    void endApp(pid_t pid);
    // The app ends without observers hearing of it (yet).
    void endAppQuietly(pid_t pid);
    // Tells observers that `pid` ended, whether or not it was listed.
    void notifyTerminated(pid_t pid);
    // Runs on every quit request, after it was recorded (e.g. to end the app).
    std::function<void(pid_t)> onQuitRequest;
    bool forceQuitResult = true;
    bool forceQuitEndsApp = true; // a successful kill ends the app at once
    // What forceQuitState() answers, by pid; possible when not set.
    QHash<pid_t, ForceQuitState> forceQuitStates;
    // Quit requests go out only when answerRequests() says so, as slow D-Bus answers do.
    bool answersLate = false;
    void answerRequests();
    QHash<QString, QString> desktopFiles; // desktop ID -> desktop file
    QHash<QString, AppIcon> fileIcons;    // desktop file -> icon
    QHash<pid_t, AppIcon> windowIcons;    // pid -> icon
    QSet<QString> unlaunchable;           // desktop files without a program to start
    std::optional<ListingGap> gap;        // what listingGap() answers
    // What stillOpenReason() answers, by pid; none when not set.
    QHash<pid_t, StillOpenReason> stillOpenReasons;

    // Inspection
    QList<pid_t> quitRequests;
    QList<pid_t> forceQuitRequests;
    QList<pid_t> activations; // of listed apps only
    QStringList launched;
    QStringList desktopFileLookups;
    int observersAdded = 0;
    int observerCount() const { return observers.count(); }
    int runningApplicationsCalls = 0;

    // Workspace
    std::optional<ListingGap> listingGap() override { return gap; }
    QList<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> runningApplication(pid_t pid) override;
    bool requestQuit(pid_t pid) override;
    StillOpenReason stillOpenReason(pid_t pid) override
    {
        return stillOpenReasons.value(pid, StillOpenReason::none);
    }
    void whenRequestsSent(std::function<void()> done) override;
    ForceQuitState forceQuitState(pid_t pid) override
    {
        return forceQuitStates.value(pid, ForceQuitState::possible);
    }
    bool forceQuit(pid_t pid) override;
    bool activate(pid_t pid) override;
    ObserverToken addTerminationObserver(TerminationObserver observer) override;
    void removeTerminationObserver(ObserverToken token) override;
    std::optional<QString> installedDesktopFile(const QString& desktopId) override;
    AppIcon desktopFileIcon(const QString& desktopFile) override;
    AppIcon windowIcon(pid_t pid) override;
    bool canLaunchDesktopFile(const QString& desktopFile) override;
    void launchDesktopFile(const QString& desktopFile) override;

    // An icon of one colour, as a window would carry it.
    static AppIcon filledIcon(std::uint32_t argb, int size = 48);

private:
    QList<RunningApplication> apps;
    TerminationObservers observers;
    QList<std::function<void()>> unanswered;
};
