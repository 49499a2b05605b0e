#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <optional>

class EnvironmentGuard;

// A test session's throwaway home, removed with it: XDG data (with its applications folder),
// config and cache homes, a scratch folder for the test's own files, and what else the session
// makes here.
class SessionHome
{
public:
    // Makes the usual folders; nothing when they are there, else why not.
    std::optional<QString> create();

    QString path() const { return folder.path(); }
    QString filePath(const QString& name) const { return folder.filePath(name); }
    // Makes the folder `name`, open to its owner alone as a runtime folder must be; returns its
    // path.
    QString makePrivateFolder(const QString& name) const;
    // A path for the test's own files.
    QString scratchPath(const QString& name) const;
    // Writes `$XDG_DATA_HOME/applications/<fileId>` and returns its path.
    QString installDesktopEntry(const QString& fileId, const QByteArray& contents) const;
    // Points XDG_DATA_HOME and XDG_CONFIG_HOME here.
    void exportXdgHomes(EnvironmentGuard& environment) const;

private:
    QTemporaryDir folder;
};
