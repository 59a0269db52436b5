#include "telephony/sipx/stun_probe.h"

#include <arpa/inet.h>
#include <stun/stunagent.h>
#include <stun/usages/bind.h>
#include <sys/socket.h>

namespace {

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
    UdpSocket sock;
    std::string error;
    if (!sock.open(server, port, bind_address, error))
        return failure(error);

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

    StunOutcome outcome = failure("the server refused the binding request");
    auto answer = [&](const uint8_t* reply, size_t size) {
        StunMessage message;
        if (stun_agent_validate(&agent, &message, reply, size, nullptr, nullptr) != STUN_VALIDATION_SUCCESS)
            return false; // not an answer to our request
        sockaddr_storage mapped{};
        socklen_t mapped_len = sizeof mapped;
        sockaddr_storage alternate{};
        socklen_t alternate_len = sizeof alternate;
        auto result = stun_usage_bind_process(&message, reinterpret_cast<sockaddr*>(&mapped), &mapped_len,
            reinterpret_cast<sockaddr*>(&alternate), &alternate_len);
        if (result == STUN_USAGE_BIND_RETURN_SUCCESS && mapped.ss_family == AF_INET) {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&mapped);
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
            outcome = StunOutcome{true, text, ntohs(v4->sin_port), ""};
        }
        return true;
    };
    switch (sock.request(request_buf, request_len, deadline, answer, error)) {
    case UdpSocket::Result::Answered:
        return outcome;
    case UdpSocket::Result::NoAnswer:
        return failure("no answer from " + server + ":" + std::to_string(port));
    case UdpSocket::Result::Failed:
        break;
    }
    return failure(error);
}
