#include "SwayIpc.h"

#include <cstring>
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
    connect(&socket, &QLocalSocket::readyRead, this, &SwayIpc::readMessages);
    connect(&socket, &QLocalSocket::connected, this, [this] {
        send(subscribe, QByteArrayLiteral("[\"window\"]"));
        refresh();
    });
    socket.connectToServer(socketPath);
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
    if (socket.state() == QLocalSocket::ConnectingState)
        socket.waitForConnected(int(deadline.remainingTime()));
    while (received < tree && isConnected() && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
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
    socket.write(message);
    socket.flush();
}

void SwayIpc::readMessages()
{
    buffer.append(socket.readAll());
    while (buffer.size() >= headerSize) {
        std::uint32_t length = 0;
        std::uint32_t type = 0;
        std::memcpy(&length, buffer.constData() + sizeof magic, sizeof length);
        std::memcpy(&type, buffer.constData() + sizeof magic + sizeof length, sizeof type);
        if (!buffer.startsWith(QByteArrayView(magic, sizeof magic)) || length > largestMessage) {
            socket.abort();
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
