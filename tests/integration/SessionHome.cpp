#include "SessionHome.h"

#include "EnvironmentGuard.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>

std::optional<QString> SessionHome::create()
{
    if (!folder.isValid())
        return QStringLiteral("cannot create a temporary folder");
    for (const char* name : {"data/applications", "config", "cache", "scratch"}) {
        if (!QDir(folder.path()).mkpath(QLatin1String(name)))
            return QStringLiteral("cannot create %1").arg(filePath(QLatin1String(name)));
    }
    return std::nullopt;
}

QString SessionHome::makePrivateFolder(const QString& name) const
{
    const QString path = filePath(name);
    QDir().mkpath(path);
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QString SessionHome::scratchPath(const QString& name) const
{
    return filePath(QStringLiteral("scratch/") + name);
}

QString SessionHome::installDesktopEntry(const QString& fileId, const QByteArray& contents) const
{
    const QString path = filePath(QStringLiteral("data/applications/") + fileId);
    if (!TestFiles::writeFile(path, contents))
        qWarning("Could not write the desktop entry %s", qPrintable(path));
    return path;
}

void SessionHome::exportXdgHomes(EnvironmentGuard& environment) const
{
    environment.set("XDG_DATA_HOME", QFile::encodeName(filePath(QStringLiteral("data"))));
    environment.set("XDG_CONFIG_HOME", QFile::encodeName(filePath(QStringLiteral("config"))));
}
