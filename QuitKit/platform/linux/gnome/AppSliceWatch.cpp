#include "AppSliceWatch.h"

#include <QFile>
#include <QSet>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

namespace
{

constexpr quint32 sliceEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR | IN_DELETE_SELF;
// The kernel rewrites cgroup.events when a group becomes populated or empty.
constexpr quint32 unitEvents = IN_MODIFY;

} // namespace

AppSliceWatch::AppSliceWatch(QObject* parent) : QObject(parent)
{
    fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        qWarning("cannot follow the app slice: inotify is not available");
        return;
    }
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &AppSliceWatch::readEvents);
}

AppSliceWatch::~AppSliceWatch()
{
    if (fd >= 0)
        close(fd);
}

void AppSliceWatch::follow(const QStringList& slices, const QStringList& units)
{
    if (fd < 0)
        return;
    QSet<QString> wanted;
    for (const QString& slice : slices)
        wanted.insert(slice);
    for (const QString& unit : units)
        wanted.insert(unit + QLatin1String("/cgroup.events"));
    for (auto watch = watches.begin(); watch != watches.end();) {
        if (wanted.contains(watch.key())) {
            ++watch;
            continue;
        }
        inotify_rm_watch(fd, watch.value());
        watch = watches.erase(watch);
    }
    for (const QString& slice : slices)
        watchPath(slice, sliceEvents);
    for (const QString& unit : units)
        watchPath(unit + QLatin1String("/cgroup.events"), unitEvents);
}

void AppSliceWatch::watchPath(const QString& path, quint32 events)
{
    // Added again each time: a folder made anew under an old name has a new inode to watch.
    const int watch = inotify_add_watch(fd, QFile::encodeName(path).constData(), events);
    if (watch >= 0)
        watches.insert(path, watch);
}

void AppSliceWatch::readEvents()
{
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    while (read(fd, buffer, sizeof buffer) > 0)
        any = true;
    if (any)
        emit changed();
}
