#include "ProcessWatcher.h"

#include "PidFd.h"

#include <QSocketNotifier>

struct ProcessWatcher::Watch {
    Watch(PidFd pidfd_, ProcessWatcher* watcher)
        : pidfd(std::move(pidfd_)),
          notifier(new QSocketNotifier(this->pidfd.descriptor(), QSocketNotifier::Read, watcher))
    {
    }
    ~Watch()
    {
        // The notifier may be the very sender being handled: stop it now, delete it later.
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    PidFd pidfd;
    QSocketNotifier* notifier;
};

ProcessWatcher::ProcessWatcher(QString procRoot_, QObject* parent)
    : QObject(parent), procRoot(std::move(procRoot_))
{
}

ProcessWatcher::~ProcessWatcher() = default;

bool ProcessWatcher::watch(pid_t pid, quint64 startTime)
{
    unwatch(pid);
    std::optional<PidFd> pidfd = PidFd::open(pid, startTime, procRoot);
    if (!pidfd || pidfd->hasExited())
        return false;
    auto watch = std::make_unique<Watch>(std::move(*pidfd), this);
    connect(watch->notifier, &QSocketNotifier::activated, this, [this, pid] { ended(pid); });
    watches.emplace(pid, std::move(watch));
    return true;
}

void ProcessWatcher::unwatch(pid_t pid)
{
    watches.erase(pid);
}

bool ProcessWatcher::isWatching(pid_t pid) const
{
    return watches.count(pid) > 0;
}

void ProcessWatcher::ended(pid_t pid)
{
    unwatch(pid);
    emit processEnded(pid);
}
