#include "PipeWireSocketWatch.h"

#include <pipewire/loop.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using namespace std::chrono_literals;

constexpr int retries = 6;
constexpr std::chrono::milliseconds firstRetry = 25ms;

struct Location {
    QByteArray folder; // empty when the environment names none
    QByteArray name;
};

// Where libpipewire looks: $PIPEWIRE_REMOTE (default "pipewire-0") in $PIPEWIRE_RUNTIME_DIR,
// else $XDG_RUNTIME_DIR; an absolute $PIPEWIRE_REMOTE names the socket whole.
Location socketLocation()
{
    QByteArray remote = qgetenv("PIPEWIRE_REMOTE");
    if (remote.isEmpty())
        remote = QByteArrayLiteral("pipewire-0");
    if (remote.startsWith('/')) {
        const qsizetype slash = remote.lastIndexOf('/');
        return {slash > 0 ? remote.left(slash) : QByteArrayLiteral("/"), remote.mid(slash + 1)};
    }
    QByteArray folder = qgetenv("PIPEWIRE_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = qgetenv("XDG_RUNTIME_DIR");
    return {folder, remote};
}

} // namespace

bool PipeWireSocketWatch::socketExists()
{
    const Location socket = socketLocation();
    struct stat found {
    };
    return !socket.folder.isEmpty() &&
           ::stat((socket.folder + '/' + socket.name).constData(), &found) == 0 &&
           S_ISSOCK(found.st_mode);
}

PipeWireSocketWatch::PipeWireSocketWatch(pw_loop* loop_, std::function<bool()> connect_)
    : loop(loop_), connect(std::move(connect_))
{
    const Location socket = socketLocation();
    socketName = socket.name;
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0)
        return;
    if (socket.folder.isEmpty() ||
        ::inotify_add_watch(inotify, socket.folder.constData(), IN_CREATE | IN_MOVED_TO) < 0) {
        ::close(inotify);
        return;
    }
    watch = pw_loop_add_io(
        loop, inotify, SPA_IO_IN, true,
        [](void* data, int, uint32_t) { static_cast<PipeWireSocketWatch*>(data)->socketEvents(); },
        this);
    retry = pw_loop_add_timer(
        loop, [](void* data, uint64_t) { static_cast<PipeWireSocketWatch*>(data)->attempt(); },
        this);
}

PipeWireSocketWatch::~PipeWireSocketWatch()
{
    if (retry)
        pw_loop_destroy_source(loop, retry);
    if (watch)
        pw_loop_destroy_source(loop, watch);
}

void PipeWireSocketWatch::socketEvents()
{
    alignas(inotify_event) char buffer[4096];
    bool appeared = false;
    for (;;) {
        const ssize_t length = ::read(watch->fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->len > 0 && socketName == event->name)
                appeared = true;
        }
    }
    if (!appeared)
        return;
    retriesLeft = retries;
    retryDelay = firstRetry;
    attempt();
}

void PipeWireSocketWatch::attempt()
{
    if (connect() || retriesLeft == 0)
        return;
    --retriesLeft;
    timespec when{};
    when.tv_sec = retryDelay.count() / 1000;
    when.tv_nsec = long(retryDelay.count() % 1000) * 1000000;
    pw_loop_update_timer(loop, retry, &when, nullptr, false);
    retryDelay *= 2;
}
