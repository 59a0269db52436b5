#include "telephony/sipx/stun_probe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <stun/stunagent.h>
#include <stun/usages/bind.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Socket {
    int fd = -1;
    ~Socket()
    {
        if (fd >= 0)
            close(fd);
    }
};

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

StunOutcome failure(std::string why)
{
    StunOutcome outcome;
    outcome.error = std::move(why);
    return outcome;
}

} // namespace

StunOutcome stun_bind(
    const std::string& server, int port, const std::string& bind_address, std::chrono::milliseconds deadline)
{
    if (server.empty() || port <= 0 || port > 65535)
        return failure("no STUN server");
    sockaddr_in server_addr{};
    if (!resolve_ipv4(server, port, server_addr))
        return failure("cannot resolve " + server);

    Socket sock;
    sock.fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock.fd < 0)
        return failure(std::string("socket: ") + std::strerror(errno));
    if (!bind_address.empty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (inet_pton(AF_INET, bind_address.c_str(), &local.sin_addr) != 1 ||
            bind(sock.fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
            return failure("cannot bind to " + bind_address);
    }
    // Connected, so an ICMP "port unreachable" ends the wait at once.
    if (connect(sock.fd, reinterpret_cast<sockaddr*>(&server_addr), sizeof server_addr) != 0)
        return failure(std::string("connect: ") + std::strerror(errno));

    StunAgent agent;
    // No FINGERPRINT: plain binding servers answer without one, and the agent would
    // then refuse the answer.
    stun_agent_init(
        &agent, STUN_ALL_KNOWN_ATTRIBUTES, STUN_COMPATIBILITY_RFC5389, static_cast<StunAgentUsageFlags>(0));
    StunMessage request;
    uint8_t request_buf[STUN_MAX_MESSAGE_SIZE];
    size_t request_len = stun_usage_bind_create(&agent, &request, request_buf, sizeof request_buf);
    if (request_len == 0)
        return failure("cannot build the binding request");

    const auto end = Clock::now() + deadline;
    auto retransmit = std::chrono::milliseconds(250);
    while (Clock::now() < end) {
        if (send(sock.fd, request_buf, request_len, 0) < 0)
            return failure(std::string("send: ") + std::strerror(errno));
        auto wait_until = std::min(end, Clock::now() + retransmit);
        retransmit *= 2;
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(wait_until - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd pfd{sock.fd, POLLIN, 0};
            if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
                break;
            uint8_t reply[STUN_MAX_MESSAGE_SIZE];
            ssize_t got = recv(sock.fd, reply, sizeof reply, 0);
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                return failure(std::string("recv: ") + std::strerror(errno));
            }
            StunMessage message;
            if (stun_agent_validate(&agent, &message, reply, static_cast<size_t>(got), nullptr, nullptr) !=
                STUN_VALIDATION_SUCCESS)
                continue; // not an answer to our request: keep waiting
            sockaddr_storage mapped{};
            socklen_t mapped_len = sizeof mapped;
            sockaddr_storage alternate{};
            socklen_t alternate_len = sizeof alternate;
            auto result = stun_usage_bind_process(&message, reinterpret_cast<sockaddr*>(&mapped), &mapped_len,
                reinterpret_cast<sockaddr*>(&alternate), &alternate_len);
            if (result != STUN_USAGE_BIND_RETURN_SUCCESS || mapped.ss_family != AF_INET)
                return failure("the server refused the binding request");
            auto* v4 = reinterpret_cast<sockaddr_in*>(&mapped);
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
            StunOutcome outcome;
            outcome.ok = true;
            outcome.mapped_ip = text;
            outcome.mapped_port = ntohs(v4->sin_port);
            return outcome;
        }
    }
    return failure("no answer from " + server + ":" + std::to_string(port));
}

StunProbe::StunProbe(std::string server, int port, std::string bind_address)
    : m_worker([this, server = std::move(server), port, bind_address = std::move(bind_address)] {
          StunOutcome outcome = stun_bind(server, port, bind_address, kDeadline);
          std::lock_guard lock(m_mutex);
          m_outcome = std::move(outcome);
      })
{
}

StunProbe::~StunProbe()
{
    if (m_worker.joinable())
        m_worker.join();
}

std::optional<StunOutcome> StunProbe::take_outcome()
{
    std::lock_guard lock(m_mutex);
    auto outcome = std::move(m_outcome);
    m_outcome.reset();
    return outcome;
}
