#include "CgroupAppSlice.h"

#include "AppSlice.h"
#include "DesktopUser.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// Set for the test run as the desktop user: its user manager's folder in the tree root made.
constexpr const char* handedManager = "NIMBREL_TEST_CGROUP_MANAGER";

// Hands `folder` to `user` as systemd hands over a delegated unit: the folder, and the files
// through which processes move and controllers are enabled.
bool handOver(const QString& folder, uid_t user)
{
    for (const char* own : {"", "/cgroup.procs", "/cgroup.threads", "/cgroup.subtree_control"}) {
        if (chown(QFile::encodeName(folder + QLatin1String(own)).constData(), user, user) != 0)
            return false;
    }
    return true;
}

} // namespace

CgroupAppSlice::~CgroupAppSlice()
{
    for (auto folder = folders.crbegin(); folder != folders.crend(); ++folder) {
        const QByteArray procs = TestFiles::readFile(*folder + QLatin1String("/cgroup.procs"));
        for (const QByteArray& pid : procs.split('\n')) {
            if (!pid.isEmpty())
                TestFiles::writeFile(refuge + QLatin1String("/cgroup.procs"), pid);
        }
        if (rmdir(QFile::encodeName(*folder).constData()) != 0)
            qWarning("cannot remove the test cgroup %s: %s", qPrintable(*folder), strerror(errno));
    }
}

void CgroupAppSlice::runAsDesktopUser()
{
    if (!DesktopUser::dropsRoot())
        return;
    int status = EXIT_FAILURE;
    std::optional<QString> manager;
    {
        CgroupAppSlice tree;
        manager = tree.handToDesktopUser();
        if (manager) {
            qputenv(handedManager, QFile::encodeName(*manager));
            std::fflush(nullptr);
            const pid_t test = fork();
            if (test == 0) {
                tree.folders.clear(); // the parent's to remove
                // Returns only where the test cannot drop root; it then runs as root in the tree.
                return DesktopUser::becomeUnprivileged();
            }
            if (test < 0)
                std::perror("desktop test: fork");
            while (test > 0 && waitpid(test, &status, 0) < 0 && errno == EINTR) {
            }
            tree.adoptFoldersMadeBelow();
        }
    }
    if (!manager) {
        // The test then finds no tree of its own, and says so as it skips.
        std::fprintf(stderr, "desktop test: cannot hand a cgroup tree to the desktop user\n");
        return DesktopUser::becomeUnprivileged();
    }
    std::fflush(nullptr);
    std::_Exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

std::optional<QString> CgroupAppSlice::handToDesktopUser()
{
    if (makeTree(DesktopUser::userId))
        return std::nullopt;
    const QString manager = QFileInfo(slice).path();
    const QString initScope = manager + QLatin1String("/init.scope");
    const bool handed = makeFolder(initScope) && handOver(manager, DesktopUser::userId) &&
                        handOver(slice, DesktopUser::userId) &&
                        handOver(initScope, DesktopUser::userId) &&
                        TestFiles::writeFile(initScope + QLatin1String("/cgroup.procs"),
                                             QByteArray::number(getpid()));
    return handed ? std::optional(manager) : std::nullopt;
}

void CgroupAppSlice::adoptFoldersMadeBelow()
{
    QDirIterator below(workspaceRoot, QDir::Dirs | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (below.hasNext()) {
        const QString folder = below.next();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    // Parents before children, as made: the destructor removes them the other way round.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const QString& a, const QString& b) { return a.size() < b.size(); });
}

std::optional<QString> CgroupAppSlice::create()
{
    const QString manager = qEnvironmentVariable(handedManager);
    if (manager.isEmpty())
        return makeTree(geteuid());
    mount = AppSlice::defaultCgroupRoot();
    // The test's own user manager: the workspace finds it from its own cgroup, as in a session,
    // and units go back to the manager's init.scope, where the test runs.
    workspaceRoot = mount;
    slice = manager + QLatin1String("/app.slice");
    refuge = manager + QLatin1String("/init.scope");
    if (access(QFile::encodeName(slice).constData(), W_OK) != 0)
        return QStringLiteral("%1 is not writable: %2")
            .arg(slice, QString::fromLocal8Bit(strerror(errno)));
    return std::nullopt;
}

std::optional<QString> CgroupAppSlice::makeTree(uid_t owner)
{
    mount = AppSlice::defaultCgroupRoot();
    if (!QFileInfo::exists(mount + QLatin1String("/cgroup.procs")))
        return QStringLiteral("no cgroup v2 mount at %1").arg(mount);
    workspaceRoot = mount + QStringLiteral("/nimbrel-test-%1").arg(getpid());
    refuge = mount;
    slice = AppSlice::folder(workspaceRoot, {}, owner);
    if (!makeFolder(workspaceRoot))
        return QStringLiteral("%1 is not writable: %2")
            .arg(mount, QString::fromLocal8Bit(strerror(errno)));
    QString folder = workspaceRoot;
    for (const QString& part : slice.mid(workspaceRoot.size() + 1).split(QLatin1Char('/'))) {
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
