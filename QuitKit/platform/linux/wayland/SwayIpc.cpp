#include "SwayIpc.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace
{

// i3-ipc framing: magic, payload length and message type (both native endian), payload.
constexpr char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr qsizetype headerSize = sizeof magic + 2 * sizeof(std::uint32_t);
constexpr std::uint32_t subscribe = 2;
constexpr std::uint32_t getTree = 4;
constexpr std::uint32_t eventBit = 0x80000000u;
// A tree larger than this is not sway talking.
constexpr std::uint32_t largestMessage = 64 * 1024 * 1024;

} // namespace

SwayIpc::SwayIpc(const QString& socketPath, QObject* parent) : QObject(parent)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    // Non-blocking from the start: a sway too busy to accept fails here rather than stalling.
    socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        hangUp();
        return;
    }
    readable = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    connect(readable.get(), &QSocketNotifier::activated, this, &SwayIpc::readMessages);
    send(subscribe, QByteArrayLiteral("[\"window\"]"));
    refresh();
}

SwayIpc::~SwayIpc()
{
    hangUp();
}

void SwayIpc::hangUp()
{
    // Called from the notifier's own signal too: it goes once that has returned.
    if (readable) {
        readable->setEnabled(false);
        readable.release()->deleteLater();
    }
    if (socket >= 0)
        ::close(socket);
    socket = -1;
}

std::uint64_t SwayIpc::refresh()
{
    if (!isConnected())
        return requested + 1;
    if (requested > received) {
        // The answer in flight may predate what the caller saw: ask once more after it.
        askAgain = true;
        return requested + 1;
    }
    send(getTree, {});
    return ++requested;
}

bool SwayIpc::waitForTree(std::uint64_t tree, QDeadlineTimer deadline)
{
    while (received < tree && isConnected() && !deadline.hasExpired()) {
        pollfd waiting{socket, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        readMessages();
    }
    return received >= tree;
}

void SwayIpc::send(std::uint32_t type, const QByteArray& payload)
{
    QByteArray message(magic, sizeof magic);
    const std::uint32_t length = std::uint32_t(payload.size());
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message.append(reinterpret_cast<const char*>(&type), sizeof type);
    message.append(payload);
    if (!isConnected())
        return;
    // Requests are a few bytes into an empty socket buffer; one that does not go out whole
    // leaves the stream unusable.
    const ssize_t sent =
        ::send(socket, message.constData(), std::size_t(message.size()), MSG_NOSIGNAL);
    if (sent != message.size())
        hangUp();
}

void SwayIpc::readMessages()
{
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(socket, chunk, sizeof chunk);
        if (got > 0 && buffer.size() + got > headerSize + qsizetype(largestMessage)) {
            hangUp();
            return;
        }
        if (got > 0) {
            buffer.append(chunk, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            hangUp();
        break;
    }
    while (buffer.size() >= headerSize) {
        std::uint32_t length = 0;
        std::uint32_t type = 0;
        std::memcpy(&length, buffer.constData() + sizeof magic, sizeof length);
        std::memcpy(&type, buffer.constData() + sizeof magic + sizeof length, sizeof type);
        if (!buffer.startsWith(QByteArrayView(magic, sizeof magic)) || length > largestMessage) {
            hangUp();
            return;
        }
        if (buffer.size() < headerSize + qsizetype(length))
            return;
        const QByteArray payload = buffer.mid(headerSize, length);
        buffer.remove(0, headerSize + length);
        if (type & eventBit) {
            refresh();
        } else if (type == getTree) {
            latest = SwayTree::windows(payload);
            ++received;
            if (std::exchange(askAgain, false))
                refresh();
            emit treeReceived();
        }
    }
}
