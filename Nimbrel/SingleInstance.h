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
/// and a lock file beside the socket (SOCKET.lock) keeps two launches starting at once from both
/// listening. When no guard can be set up the launch runs on its own after a warning. Nothing
/// here blocks for more than about a second. Main thread only.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        Primary,   // this launch listens; later launches reach it
        Secondary, // a running launch was asked to reopen its popover; this one should exit 0
        Unguarded, // the guard could not be set up; this launch runs on its own
    };

    /// `name` tells programs apart; the display ($WAYLAND_DISPLAY, else $DISPLAY) is added to it.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    /// Where the socket lives; empty when there is no private folder.
    QString socketPath() const { return serverPath; }

    /// Hands this launch over to a running one, or becomes the running one. Call once.
    Role start();

    /// The user's private folder: $XDG_RUNTIME_DIR when it is an absolute folder of ours with
    /// mode 0700, else `fallbackParent`/nimbrel-UID, created so; nothing when that one is not
    /// such a folder either (a link to one does not count).
    static std::optional<QString>
    privateFolder(const QString& fallbackParent = QStringLiteral("/tmp"));

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
