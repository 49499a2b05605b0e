#include "CgroupAppSlice.h"

#include "AppSlice.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

CgroupAppSlice::~CgroupAppSlice()
{
    for (auto folder = folders.crbegin(); folder != folders.crend(); ++folder) {
        const QByteArray procs = TestFiles::readFile(*folder + QLatin1String("/cgroup.procs"));
        for (const QByteArray& pid : procs.split('\n')) {
            if (!pid.isEmpty())
                TestFiles::writeFile(mount + QLatin1String("/cgroup.procs"), pid);
        }
        if (rmdir(QFile::encodeName(*folder).constData()) != 0)
            qWarning("cannot remove the test cgroup %s: %s", qPrintable(*folder), strerror(errno));
    }
}

std::optional<QString> CgroupAppSlice::create()
{
    mount = AppSlice::defaultCgroupRoot();
    if (!QFileInfo::exists(mount + QLatin1String("/cgroup.procs")))
        return QStringLiteral("no cgroup v2 mount at %1").arg(mount);
    privateRoot = mount + QStringLiteral("/nimbrel-test-%1").arg(getpid());
    slice = AppSlice::folder(privateRoot, {}, geteuid());
    if (!makeFolder(privateRoot))
        return QStringLiteral("%1 is not writable: %2")
            .arg(mount, QString::fromLocal8Bit(strerror(errno)));
    QString folder = privateRoot;
    for (const QString& part : slice.mid(privateRoot.size() + 1).split(QLatin1Char('/'))) {
        folder += QLatin1Char('/') + part;
        if (!makeFolder(folder))
            return QStringLiteral("cannot make %1: %2")
                .arg(folder, QString::fromLocal8Bit(strerror(errno)));
    }
    return std::nullopt;
}

QString CgroupAppSlice::addUnit(const QString& name)
{
    const QString folder = slice + QLatin1Char('/') + name;
    makeFolder(folder);
    return folder;
}

bool CgroupAppSlice::makeFolder(const QString& folder)
{
    if (mkdir(QFile::encodeName(folder).constData(), 0755) != 0)
        return false;
    folders.append(folder);
    return true;
}
