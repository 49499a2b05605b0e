#pragma once

#include "EnvironmentGuard.h"
#include "SessionBus.h"
#include "SessionHome.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QString>

#include <optional>

// A throwaway headless GNOME compositor (mutter, Wayland only) with its own session bus,
// runtime folder and XDG data home. start() points this process's environment at them; the
// destructor stops everything and restores it.
class MutterSession
{
public:
    MutterSession() = default;
    ~MutterSession();

    // Starts the bus and mutter; nothing when both are up, else what is missing or failed.
    std::optional<QString> start();

    // Writes `$XDG_DATA_HOME/applications/<fileId>` and returns its path.
    QString installDesktopEntry(const QString& fileId, const QByteArray& contents) const
    {
        return home.installDesktopEntry(fileId, contents);
    }
    // A path for the test's own files, removed with the session.
    QString scratchPath(const QString& name) const { return home.scratchPath(name); }
    // Starts `command` (run by /bin/sh) as a GTK client of this mutter; stopped with the session.
    QProcess* startApp(const QString& command, const QHash<QString, QString>& environment = {});

private:
    SessionHome home;
    EnvironmentGuard ownEnvironment;
    SessionBus bus;
    QProcess mutter;
    QList<QProcess*> apps;
};
