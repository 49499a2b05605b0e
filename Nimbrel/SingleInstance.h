#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <optional>

class QLocalSocket;

/// Keeps one tray program running per user and display.
///
/// The first launch listens on a local socket in a folder private to the user; a later launch
/// asks it to reopen its popover and then ends. A socket left by a crashed launch is replaced,
/// and a lock file beside the socket (SOCKET.lock), held from looking for a running launch until
/// listening, keeps launches starting at once from both listening: each waits its turn, and one
/// that still finds the lock taken after several answer waits leaves the start to the launch
/// holding it rather than run beside it. When no private folder or socket can be had, the launch
/// runs on its own after a warning. Main thread only.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        Primary,   // this launch listens; later launches reach it
        Secondary, // a running or starting launch has the popover; this one should exit 0
        Unguarded, // the guard could not be set up; this launch runs on its own
    };

    /// `name` tells programs apart; the display ($WAYLAND_DISPLAY, else $DISPLAY) is added to it.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    /// Where the socket lives; empty when there is no private folder.
    QString socketPath() const { return serverPath; }

    /// Hands this launch over to a running one, or becomes the running one. Call once.
    Role start();

    /// The user's private folder: $XDG_RUNTIME_DIR when it is an absolute folder of ours with
    /// mode 0700, else `sharedParent`/nimbrel-UID, else `ownParent`/nimbrel-run, each created so
    /// when missing; a folder that is there already counts only when it is ours, 0700 and not a
    /// link, so another user who makes /tmp/nimbrel-UID first cannot take or switch off the
    /// guard. `ownParent` defaults to the user's cache folder. Nothing when none of them will do.
    static std::optional<QString>
    privateFolder(const QString& sharedParent = QStringLiteral("/tmp"),
                  const QString& ownParent = QString());

signals:
    /// A later launch asked for the popover.
    void reopenRequested();

private:
    // Secondary or Unguarded when something answers at the socket; nothing when none runs.
    std::optional<Role> askRunningToReopen() const;
    Role listen();
    void serve(QLocalSocket* client);

    QString serverPath;
    QLocalServer server;
};
