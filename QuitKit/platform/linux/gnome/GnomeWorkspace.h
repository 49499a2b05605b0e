#pragma once

#include "AppSlice.h"
#include "AppSliceWatch.h"
#include "DesktopEntry.h"
#include "LinuxWorkspace.h"
#include "QuitRequests.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The apps of a GNOME Wayland session, whose compositor lists no windows to other programs:
// one per desktop entry shown in menus that the user's systemd manager runs an app unit for,
// owned by the unit's oldest process. An app is asked to quit through its GApplication "quit"
// action when its entry is D-Bus activatable; any other cannot be asked and is left alone.
class GnomeWorkspace : public LinuxWorkspace
{
    Q_OBJECT

public:
    // `cgroupRoot` is the cgroup v2 mount the user's manager keeps its units under.
    explicit GnomeWorkspace(const QString& cgroupRoot = AppSlice::defaultCgroupRoot(),
                            const QString& procRoot = QStringLiteral("/proc"),
                            QObject* parent = nullptr);

    /// Why no apps are listed (no app slice for this user); nothing while it works.
    std::optional<QString> problem() const;
    /// Units that hold a process of these apps (another backend's, e.g. X11 for Xwayland) are
    /// that backend's to list.
    void leaveOutUnitsOf(std::function<QList<pid_t>()> otherApps);

    std::optional<ListingGap> listingGap() override;
    QString backendName() const override;
    QList<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> runningApplication(pid_t pid) override;
    bool requestQuit(pid_t pid) override;
    StillOpenReason stillOpenReason(pid_t pid) override;
    bool activate(pid_t pid) override;
    QIcon windowIcon(pid_t pid) override;

private:
    struct App {
        pid_t pid = 0;
        quint64 startTime = 0;
        QString unitFolder;
        DesktopEntry entry;
    };

    void update() override;
    std::optional<quint64> verifiedStartTime(pid_t pid) override;
    // The app of each desktop id in `tree`: the unit whose main process started first.
    QList<App> appsOf(const AppSlice::Tree& tree) const;
    void ended(pid_t pid);
    App* find(pid_t pid);
    bool isLeftOut(const App& app, const QList<pid_t>& others) const;
    RunningApplication describe(const App& app) const;

    QString sliceFolder;
    AppSliceWatch sliceWatch;
    QList<App> apps; // in the order first seen
    QuitRequests requests;
    std::function<QList<pid_t>()> otherApps;
};
