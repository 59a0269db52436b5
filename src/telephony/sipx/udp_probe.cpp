#include "telephony/sipx/udp_probe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

bool resolve_ipv4(const std::string& host, int port, sockaddr_in& out)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        return false;
    std::memcpy(&out, found->ai_addr, sizeof out);
    freeaddrinfo(found);
    return true;
}

std::optional<sockaddr_in> local_of(int fd)
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (fd < 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return std::nullopt;
    return local;
}

} // namespace

UdpSocket::~UdpSocket()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool UdpSocket::open(const std::string& server, int port, const std::string& bind_address, std::string& error)
{
    sockaddr_in server_addr{};
    if (server.empty() || port <= 0 || port > 65535 || !resolve_ipv4(server, port, server_addr)) {
        error = "cannot resolve " + server;
        return false;
    }
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    if (!bind_address.empty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (inet_pton(AF_INET, bind_address.c_str(), &local.sin_addr) != 1 ||
            bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            error = "cannot bind to " + bind_address;
            return false;
        }
    }
    if (connect(m_fd, reinterpret_cast<sockaddr*>(&server_addr), sizeof server_addr) != 0) {
        error = std::string("connect: ") + std::strerror(errno);
        return false;
    }
    return true;
}

std::string UdpSocket::local_address() const
{
    auto local = local_of(m_fd);
    char text[INET_ADDRSTRLEN] = {};
    if (!local || !inet_ntop(AF_INET, &local->sin_addr, text, sizeof text))
        return "";
    return text;
}

int UdpSocket::local_port() const
{
    auto local = local_of(m_fd);
    return local ? ntohs(local->sin_port) : 0;
}

UdpSocket::Result UdpSocket::request(const void* data, std::size_t size, std::chrono::milliseconds deadline,
    const std::function<bool(const std::uint8_t*, std::size_t)>& accept, std::string& error) const
{
    const auto end = Clock::now() + deadline;
    auto retransmit = std::chrono::milliseconds(250);
    while (Clock::now() < end) {
        if (send(m_fd, data, size, 0) < 0) {
            error = std::string("send: ") + std::strerror(errno);
            return Result::Failed;
        }
        auto wait_until = std::min(end, Clock::now() + retransmit);
        retransmit *= 2;
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(wait_until - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd pfd{m_fd, POLLIN, 0};
            if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
                break;
            std::uint8_t reply[65536];
            ssize_t got = recv(m_fd, reply, sizeof reply, 0);
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                error = std::string("recv: ") + std::strerror(errno);
                return Result::Failed;
            }
            if (accept(reply, static_cast<std::size_t>(got)))
                return Result::Answered;
            // Not an answer to this request: keep waiting.
        }
    }
    return Result::NoAnswer;
}
