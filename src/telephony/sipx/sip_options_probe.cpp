#include "telephony/sipx/sip_options_probe.h"

#include <algorithm>
#include <random>

namespace {

std::string random_token()
{
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 20; ++i)
        token += digits[generator() % 16];
    return token;
}

} // namespace

std::string sip_options_request(const std::string& host, int port, const std::string& local_ip,
    int local_port, const std::string& call_id, const std::string& branch, const std::string& tag)
{
    std::string target = "sip:" + host + ":" + std::to_string(port);
    std::string local = local_ip + ":" + std::to_string(local_port);
    return "OPTIONS " + target + " SIP/2.0\r\n" + "Via: SIP/2.0/UDP " + local + ";branch=z9hG4bK" + branch +
        ";rport\r\n" + "Max-Forwards: 70\r\n" + "From: <sip:keepalive@" + local + ">;tag=" + tag + "\r\n" +
        "To: <" + target + ">\r\n" + "Call-ID: " + call_id + "\r\n" + "CSeq: 1 OPTIONS\r\n" +
        "User-Agent: Kalvo\r\n" + "Content-Length: 0\r\n\r\n";
}

bool is_sip_response_to(const std::string& datagram, const std::string& call_id)
{
    return datagram.rfind("SIP/2.0 ", 0) == 0 && !call_id.empty() &&
        datagram.find(call_id) != std::string::npos;
}

OptionsOutcome sip_options_ping(
    const std::string& host, int port, const std::string& bind_address, std::chrono::milliseconds deadline)
{
    UdpSocket sock;
    std::string error;
    if (!sock.open(host, port, bind_address, error))
        return {false, error};
    std::string call_id = random_token();
    std::string request = sip_options_request(
        host, port, sock.local_address(), sock.local_port(), call_id, random_token(), random_token());
    auto answer = [&](const std::uint8_t* reply, std::size_t size) {
        return is_sip_response_to(std::string(reinterpret_cast<const char*>(reply), size), call_id);
    };
    switch (sock.request(request.data(), request.size(), deadline, answer, error)) {
    case UdpSocket::Result::Answered:
        return {true, ""};
    case UdpSocket::Result::NoAnswer:
        return {false, "no answer from " + host + ":" + std::to_string(port)};
    case UdpSocket::Result::Failed:
        break;
    }
    return {false, error};
}

int keepalive_delay_seconds(int period, int failures)
{
    int delay = 1;
    for (int i = 0; i < failures && delay < period; ++i)
        delay *= 2;
    return failures == 0 ? period : std::min(delay, period);
}
