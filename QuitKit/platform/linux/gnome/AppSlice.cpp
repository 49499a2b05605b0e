#include "AppSlice.h"

#include "AppUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

// A unit's groups nest a level or two; anything deeper is not systemd's doing.
constexpr int deepestGroup = 8;

void scanSlice(const QString& slice, int depth, AppSlice::Tree& tree)
{
    tree.slices.append(slice);
    if (depth >= deepestGroup)
        return;
    const QStringList names = QDir(slice).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString folder = slice + QLatin1Char('/') + name;
        if (name.endsWith(QLatin1String(".slice")))
            scanSlice(folder, depth + 1, tree);
        else if (AppUnit::isAppUnit(name))
            tree.units.append({name, folder});
    }
}

void collectProcesses(const QString& group, int depth, QList<pid_t>& pids)
{
    QFile procs(group + QLatin1String("/cgroup.procs"));
    if (procs.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : procs.readAll().split('\n')) {
            bool ok = false;
            const int pid = line.toInt(&ok);
            if (ok && pid > 0)
                pids.append(pid);
        }
    }
    if (depth >= deepestGroup)
        return;
    for (const QString& name : QDir(group).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        collectProcesses(group + QLatin1Char('/') + name, depth + 1, pids);
}

} // namespace

QString AppSlice::defaultCgroupRoot()
{
    // Only a cgroup v2 root holds cgroup.procs; a hybrid system mounts v2 beside the v1 ones.
    const QString unified = QStringLiteral("/sys/fs/cgroup");
    if (QFileInfo::exists(unified + QLatin1String("/cgroup.procs")))
        return unified;
    return unified + QLatin1String("/unified");
}

QString AppSlice::folder(const QString& cgroupRoot, const QByteArray& ownCgroup, uid_t uid)
{
    const QByteArray manager = "user@" + QByteArray::number(uid) + ".service";
    for (const QByteArray& line : ownCgroup.split('\n')) {
        if (!line.startsWith("0::"))
            continue;
        const QByteArray path = line.mid(3);
        const qsizetype at = path.indexOf('/' + manager);
        if (at >= 0)
            return cgroupRoot + QString::fromUtf8(path.left(at + 1 + manager.size())) +
                   QLatin1String("/app.slice");
    }
    return cgroupRoot + QStringLiteral("/user.slice/user-%1.slice/").arg(uid) +
           QString::fromLatin1(manager) + QLatin1String("/app.slice");
}

AppSlice::Tree AppSlice::scan(const QString& sliceFolder)
{
    Tree tree;
    if (QFileInfo(sliceFolder).isDir())
        scanSlice(sliceFolder, 0, tree);
    return tree;
}

QList<pid_t> AppSlice::processes(const QString& unitFolder)
{
    QList<pid_t> pids;
    collectProcesses(unitFolder, 0, pids);
    return pids;
}
