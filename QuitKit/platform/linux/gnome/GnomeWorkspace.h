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

// What the GNOME backend keeps of an app besides its process and desktop entry.
struct GnomeAppUnit {
    QString unitFolder; // the app unit's cgroup
};

// The apps of a GNOME Wayland session, whose compositor lists no windows to other programs:
// one per desktop entry shown in menus that the user's systemd manager runs an app unit for,
// owned by the unit's oldest process. An app is asked to quit through its GApplication "quit"
// action when its entry is D-Bus activatable; any other cannot be asked and is left alone.
class GnomeWorkspace : public AppTableWorkspace<GnomeAppUnit>
{
    Q_OBJECT

public:
    // `cgroupRoot` is the cgroup v2 mount the user's manager keeps its units under.
    explicit GnomeWorkspace(const QString& cgroupRoot = AppSlice::defaultCgroupRoot(),
                            const QString& procRoot = QStringLiteral("/proc"),
                            QObject* parent = nullptr);

    /// Why no apps are listed (no app slice for this user); nothing while it works.
    std::optional<QString> problem() const override;
    /// Units that hold a process of these apps (another backend's, e.g. X11 for Xwayland) are
    /// that backend's to list.
    void leaveOutUnitsOf(std::function<QList<pid_t>()> otherApps);

    QString backendName() const override { return QStringLiteral("GNOME (app units)"); }
    bool requestQuit(pid_t pid) override;
    StillOpenReason stillOpenReason(pid_t pid) override;
    bool activate(pid_t pid) override;

private:
    void update() override;
    QString fallbackName(const App& app) const override { return app.entry->id; }
    std::function<bool(const App&)> leftOut() const override;
    void dropped(pid_t pid) override { requests.forget(pid); }
    // The app of each desktop id in `tree`: the unit whose main process started first.
    QList<App> appsOf(const AppSlice::Tree& tree) const;

    QString sliceFolder;
    AppSliceWatch sliceWatch;
    QuitRequests requests;
    std::function<QList<pid_t>()> otherApps;
};
