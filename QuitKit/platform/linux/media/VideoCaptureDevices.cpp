#include "VideoCaptureDevices.h"

#include "OwnProcesses.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace
{

bool isVideoDevice(const char* name)
{
    return qstrncmp(name, "video", 5) == 0;
}

// Whether any descriptor in `fdFolder` is one of `devices`.
bool holdsAny(const QByteArray& fdFolder, const QSet<QByteArray>& devices)
{
    DIR* folder = ::opendir(fdFolder.constData());
    if (!folder)
        return false;
    bool found = false;
    char target[256];
    while (const dirent* entry = ::readdir(folder)) {
        const ssize_t length = ::readlinkat(::dirfd(folder), entry->d_name, target, sizeof target);
        if (length > 0 && devices.contains(QByteArray(target, length))) {
            found = true;
            break;
        }
    }
    ::closedir(folder);
    return found;
}

} // namespace

VideoCaptureDevices::VideoCaptureDevices(const QString& procRoot_, const QString& deviceFolder_,
                                         CaptureAsking asking_)
    : procRoot(QFile::encodeName(procRoot_)), deviceFolder(QFile::encodeName(deviceFolder_)),
      asking(asking_)
{
    if (asking == CaptureAsking::once)
        return;
    inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0) {
        // Without events every answer would need a walk of every descriptor.
        qWarning("nimbrel: cannot watch video devices (%s); cameras in use are not seen",
                 strerror(errno));
        return;
    }
    folderWatch = ::inotify_add_watch(inotify, this->deviceFolder.constData(),
                                      IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM);
    listDevices();
}

VideoCaptureDevices::~VideoCaptureDevices()
{
    if (inotify >= 0)
        ::close(inotify);
}

QSet<pid_t> VideoCaptureDevices::capturingProcesses()
{
    if (asking == CaptureAsking::once)
        listDevices();
    else
        readEvents();
    if (devices.isEmpty())
        return {};
    if (stale) {
        capturing = walk();
        stale = false;
    }
    return capturing;
}

void VideoCaptureDevices::listDevices()
{
    devices.clear();
    stale = true;
    DIR* folder = ::opendir(deviceFolder.constData());
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        if (!isVideoDevice(entry->d_name))
            continue;
        const QByteArray path = deviceFolder + '/' + entry->d_name;
        // A device that cannot be watched could change unseen: it is left out.
        if (asking == CaptureAsking::once ||
            ::inotify_add_watch(inotify, path.constData(), IN_OPEN | IN_CLOSE) >= 0)
            devices.insert(QByteArrayLiteral("/dev/") + entry->d_name);
    }
    ::closedir(folder);
}

void VideoCaptureDevices::readEvents()
{
    if (inotify < 0)
        return;
    bool devicesChanged = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(inotify, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW)
                devicesChanged = true;
            else if (event->wd != folderWatch)
                stale = true;
            else if (event->len > 0 && isVideoDevice(event->name))
                devicesChanged = true;
        }
    }
    if (devicesChanged)
        listDevices();
}

QSet<pid_t> VideoCaptureDevices::walk() const
{
    QSet<pid_t> found;
    for (const pid_t pid : OwnProcesses::all(procRoot)) {
        if (holdsAny(procRoot + '/' + QByteArray::number(pid) + "/fd", devices))
            found.insert(pid);
    }
    return found;
}
