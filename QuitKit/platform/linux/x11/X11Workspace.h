#pragma once

#include "DesktopEntry.h"
#include "DesktopFileMatcher.h"
#include "LinuxWorkspace.h"
#include "X11StillOpenReasons.h"
#include "X11Window.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class X11Connection;

// What the X11 backend keeps of an app besides its process and desktop entry.
struct X11AppWindows {
    QList<X11Window> windows; // taskbar windows first
};

// The running apps of an X11 desktop: every process that owns a window the window manager
// manages, kept current from the server's events and told apart by start time. An app with a
// taskbar window is regular; one whose windows are all hidden from the taskbar, or gone while
// the process lives on, is background. Windows whose process cannot be verified form one app
// per X client, under a negative id: it can be asked to close but never killed or measured.
class X11Workspace : public AppTableWorkspace<X11AppWindows>
{
    Q_OBJECT

public:
    // Connects to `displayName`, or to $DISPLAY when it is empty.
    explicit X11Workspace(const QByteArray& displayName = {},
                          const QString& procRoot = QStringLiteral("/proc"),
                          QObject* parent = nullptr);
    ~X11Workspace() override;

    /// Why no apps are listed (no display, the server went away); nothing while it works.
    std::optional<QString> problem() const override;
    /// Every window of the listed apps, its title kept current from the first call on (a
    /// Wayland backend tells Xwayland's toplevels by class and title).
    QList<X11Window> windows();

    std::optional<ListingGap> listingGap() override;
    QString backendName() const override { return QStringLiteral("X11"); }
    bool requestQuit(pid_t pid) override;
    StillOpenReason stillOpenReason(pid_t pid) override;
    bool activate(pid_t pid) override;
    AppIcon windowIcon(pid_t pid) override;

private:
    void update() override;
    bool isLost() const override;
    QString fallbackName(const App& app) const override;
    bool isOnTaskbar(const App& app) const override;
    QList<std::uint32_t> windowIds(const App& app) const override;
    void dropped(pid_t pid) override { reasons.forget(pid); }
    void refresh();
    void refreshUnverified(const QHash<std::uint32_t, QList<X11Window>>& windowsOfClient);
    bool isAppProcess(pid_t process, pid_t app) const;
    // Takes the app's current windows, matching its identity again when they claim another.
    void rename(App& app, const QList<X11Window>& windows);
    bool reportProblem();
    QList<std::uint32_t> taskbarWindows(const App& app) const;
    bool closeWindows(pid_t pid, quint64 startTime);

    std::unique_ptr<X11Connection> connection;
    X11StillOpenReasons reasons;
    DesktopFileMatcher matcher;
    bool problemReported = false;
    bool followsTitles = false;
    std::optional<QString> unseen; // why the windows cannot be told apart as apps
};
