#include "mwi_publisher.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string header_value(const std::string& message, const std::string& name)
{
    const std::string key = "\r\n" + name + ":";
    auto at = message.find(key);
    if (at == std::string::npos)
        return {};
    at += key.size();
    const auto end = message.find("\r\n", at);
    const auto first = message.find_first_not_of(' ', at);
    return message.substr(first, end - first);
}

std::string random_token()
{
    static std::mt19937_64 generator{std::random_device{}()};
    return std::to_string(generator());
}

class UdpSocket {
public:
    UdpSocket() : m_fd(socket(AF_INET, SOCK_DGRAM, 0)) { }
    ~UdpSocket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

MwiPublisher::MwiPublisher(std::string address, int sip_port, std::string domain)
    : m_address(std::move(address)), m_sip_port(sip_port), m_domain(std::move(domain))
{
}

std::string MwiPublisher::summary_body(const std::string& voicemail_uri, int new_count, int old_count)
{
    return std::string("Messages-Waiting: ") + (new_count > 0 ? "yes" : "no") + "\r\n" +
        "Message-Account: " + voicemail_uri + "\r\n" + "Voice-Message: " + std::to_string(new_count) + "/" +
        std::to_string(old_count) + "\r\n";
}

bool MwiPublisher::publish(const std::string& user, int new_count, int old_count, std::string* error)
{
    const std::string body = summary_body("sip:voicemail@" + m_domain, new_count, old_count);
    std::lock_guard lock(m_mutex);
    int status = 0;
    std::string etag;
    const std::string known = m_etags.count(user) ? m_etags[user] : std::string();
    if (!transact(user, body, known, status, etag, error))
        return false;
    // The notifier forgot the entry (it expired or the notifier restarted): publish anew.
    if (status == 412 && !known.empty() && !transact(user, body, {}, status, etag, error))
        return false;
    if (status < 200 || status >= 300) {
        if (error)
            *error = "PUBLISH answered " + std::to_string(status);
        return false;
    }
    m_etags[user] = etag;
    return true;
}

bool MwiPublisher::transact(const std::string& user, const std::string& body, const std::string& etag,
    int& status, std::string& new_etag, std::string* error)
{
    UdpSocket sock;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, m_address.c_str(), &local.sin_addr);
    sockaddr_in remote = local;
    remote.sin_port = htons(static_cast<uint16_t>(m_sip_port));
    socklen_t length = sizeof local;
    if (sock.fd() < 0 || bind(sock.fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        getsockname(sock.fd(), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        if (error)
            *error = "cannot bind a UDP socket on " + m_address;
        return false;
    }
    const std::string branch = "z9hG4bK" + random_token();
    std::string request = "PUBLISH sip:" + user + "@" + m_domain + " SIP/2.0\r\n" + "Via: SIP/2.0/UDP " +
        m_address + ":" + std::to_string(ntohs(local.sin_port)) + ";branch=" + branch + ";rport\r\n" +
        "Max-Forwards: 70\r\n" + "From: <sip:voicemail@" + m_domain + ">;tag=" + random_token() + "\r\n" +
        "To: <sip:" + user + "@" + m_domain + ">\r\n" + "Call-ID: " + random_token() + "@" + m_address +
        "\r\n" + "CSeq: " + std::to_string(++m_sequence) + " PUBLISH\r\n" + "Event: message-summary\r\n" +
        "Expires: 604800\r\n" + (etag.empty() ? "" : "SIP-If-Match: " + etag + "\r\n") +
        "Content-Type: application/simple-message-summary\r\n" +
        "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;

    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(2500);
    auto next_send = clock::now();
    char buffer[4096];
    while (clock::now() < deadline) {
        if (clock::now() >= next_send) {
            sendto(sock.fd(), request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&remote),
                sizeof remote);
            next_send = clock::now() + std::chrono::milliseconds(500);
        }
        pollfd wait{sock.fd(), POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0)
            continue;
        const ssize_t got = recv(sock.fd(), buffer, sizeof buffer - 1, 0);
        if (got <= 12)
            continue;
        const std::string reply(buffer, static_cast<size_t>(got));
        if (reply.compare(0, 8, "SIP/2.0 ") != 0 || reply.find(branch) == std::string::npos)
            continue;
        status = std::atoi(reply.c_str() + 8);
        if (status < 200)
            continue;
        new_etag = header_value(reply, "SIP-ETag");
        return true;
    }
    if (error)
        *error = "no answer to PUBLISH from " + m_address + ":" + std::to_string(m_sip_port);
    return false;
}
