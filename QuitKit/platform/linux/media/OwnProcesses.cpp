#include "OwnProcesses.h"

#include "ProcProcessInfo.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

bool OwnProcesses::contains(const QByteArray& procRoot, pid_t pid)
{
    if (pid <= 1)
        return false;
    // A process's folder belongs to the user it runs as.
    struct stat info;
    const QByteArray folder = procRoot + '/' + QByteArray::number(pid);
    return ::stat(folder.constData(), &info) == 0 && info.st_uid == ::geteuid();
}

QList<pid_t> OwnProcesses::all(const QByteArray& procRoot)
{
    QList<pid_t> pids = ProcProcessInfo(QFile::decodeName(procRoot)).allPids();
    pids.removeIf([&](pid_t pid) { return !contains(procRoot, pid); });
    return pids;
}
