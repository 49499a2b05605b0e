#include "UnixSockets.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/unix_diag.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace
{

class Descriptor
{
public:
    explicit Descriptor(int fd_) : fd(fd_) {}
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    const int fd;
};

bool sendDumpRequest(int fd)
{
    struct {
        nlmsghdr header;
        unix_diag_req request;
    } message{};
    message.header.nlmsg_len = sizeof message;
    message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    message.request.sdiag_family = AF_UNIX;
    message.request.udiag_states = 1u << TCP_ESTABLISHED;
    message.request.udiag_show = UDIAG_SHOW_NAME | UDIAG_SHOW_PEER;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    return sendto(fd, &message, sizeof message, 0, reinterpret_cast<sockaddr*>(&kernel),
                  sizeof kernel) == ssize_t(sizeof message);
}

UnixSockets::Socket parse(const nlmsghdr* header)
{
    const auto* message = static_cast<const unix_diag_msg*>(NLMSG_DATA(header));
    UnixSockets::Socket socket;
    socket.inode = message->udiag_ino;
    int length = int(header->nlmsg_len) - int(NLMSG_LENGTH(sizeof *message));
    for (auto* attribute = reinterpret_cast<const rtattr*>(message + 1); RTA_OK(attribute, length);
         attribute = RTA_NEXT(attribute, length)) {
        const char* data = static_cast<const char*>(RTA_DATA(attribute));
        const int size = int(RTA_PAYLOAD(attribute));
        if (attribute->rta_type == UNIX_DIAG_PEER && size >= int(sizeof(quint32)))
            std::memcpy(&socket.peer, data, sizeof(quint32));
        else if (attribute->rta_type == UNIX_DIAG_NAME && size > 0)
            socket.name = data[0] == '\0' ? '@' + QByteArray(data + 1, size - 1)
                                          : QByteArray(data, int(strnlen(data, size_t(size))));
    }
    return socket;
}

} // namespace

std::optional<QList<UnixSockets::Socket>> UnixSockets::connected()
{
    const Descriptor netlink(socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
    if (netlink.fd < 0 || !sendDumpRequest(netlink.fd))
        return std::nullopt;
    QList<Socket> sockets;
    alignas(nlmsghdr) std::array<char, 32768> buffer;
    for (;;) {
        const ssize_t received = recv(netlink.fd, buffer.data(), buffer.size(), 0);
        if (received <= 0)
            return std::nullopt;
        int length = int(received);
        for (auto* header = reinterpret_cast<const nlmsghdr*>(buffer.data());
             NLMSG_OK(header, length); header = NLMSG_NEXT(header, length)) {
            if (header->nlmsg_type == NLMSG_DONE)
                return sockets;
            if (header->nlmsg_type == NLMSG_ERROR)
                return std::nullopt;
            if (header->nlmsg_type == SOCK_DIAG_BY_FAMILY)
                sockets.append(parse(header));
        }
    }
}
