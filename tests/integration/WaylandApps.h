#pragma once

#include "Workspace.h"

#include <QHash>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// Apps a test starts as clients of a Wayland compositor (GTK and Qt on Wayland, without the
// accessibility bus), killed by stopAll() or when this goes.
class WaylandApps
{
public:
    // Every app gets `sessionEnvironment` added to this process's environment; a started app is
    // listed within `appearTimeout` (ms).
    explicit WaylandApps(int appearTimeout, QHash<QString, QString> sessionEnvironment = {});
    ~WaylandApps();
    WaylandApps(const WaylandApps&) = delete;
    WaylandApps& operator=(const WaylandApps&) = delete;

    // Starts `program` with `environment` added as well; nullptr when it did not start.
    QProcess* start(const QString& program, const QStringList& arguments,
                    const QHash<QString, QString>& environment = {});
    // Starts an app and waits until `listing` lists it under its own pid; 0 when it is not.
    pid_t startListed(Workspace& listing, const QString& program, const QStringList& arguments,
                      const QHash<QString, QString>& environment = {});
    void stopAll();

    // How often `apps` lists `pid`.
    static qsizetype countOf(const QList<RunningApplication>& apps, pid_t pid);

private:
    int appearTimeout;
    QHash<QString, QString> sessionEnvironment;
    QList<QProcess*> apps;
};
