#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <sys/types.h>

// A throwaway headless sway for integration tests, with Xwayland. sway refuses to run as root,
// so as root it runs as nobody in a runtime folder of its own; clients run as this process's
// user. start() points this process's environment at it (WAYLAND_DISPLAY, SWAYSOCK, DISPLAY,
// an empty XDG data home); the destructor stops everything and restores it.
class SwaySession
{
public:
    // Windows of a freshly started app appear within this (ms) on a loaded machine.
    static constexpr int appearTimeout = 20000;

    SwaySession();
    ~SwaySession();

    // Starts sway; nothing when it is up, else what is missing or failed.
    std::optional<QString> start();

    QByteArray waylandDisplay() const { return waylandSocket.toLocal8Bit(); }
    QString swaySocket() const { return ipcSocket; }
    // Writes `$XDG_DATA_HOME/applications/<fileId>` and returns its path.
    QString installDesktopEntry(const QString& fileId, const QString& contents);
    // A folder for the test's own files, removed with the session.
    QString scratchPath(const QString& name) const;
    // Starts `program` as a client of this sway with `environment` added; it is stopped by
    // stopApps() or with the session.
    QProcess* startApp(const QString& program, const QStringList& arguments,
                       const QHash<QString, QString>& environment = {});
    void stopApps();
    // The pid of the window sway has focused; 0 when none.
    pid_t focusedPid() const;
    // The pid of each window in sway's tree.
    QList<pid_t> windowPids() const;
    // Every window in sway's tree, as its IPC describes them.
    QList<QJsonObject> windows() const;

private:
    void setEnvironment(const char* name, const QByteArray& value);
    QString waitForFile(const QString& folder, const QString& pattern) const;

    QTemporaryDir home;
    QString runtimeDir;
    QString waylandSocket;
    QString ipcSocket;
    QProcess sway;
    QList<QProcess*> apps;
    QHash<QByteArray, std::optional<QByteArray>> savedEnvironment;
};

// Starts `session` or ends the test: a failure in CI, a skip elsewhere.
#define NIMBREL_START_SWAY(session)                                                                \
    do {                                                                                           \
        if (const std::optional<QString> problem = (session).start()) {                            \
            if (qgetenv("CI") == "true")                                                           \
                QFAIL(qPrintable(QStringLiteral("sway cannot start: ") + *problem));               \
            QSKIP(qPrintable(QStringLiteral("sway cannot start: ") + *problem));                   \
        }                                                                                          \
    } while (false)
