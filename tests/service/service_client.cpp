#include "service_client.h"

#include <arpa/inet.h>
#include <chrono>
#include <curl/curl.h>
#include <netinet/in.h>
#include <nettle/md5.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

#include "support/child_process.h"

namespace service_client {

namespace {

size_t append_body(char* data, size_t size, size_t count, void* sink)
{
    static_cast<std::string*>(sink)->append(data, size * count);
    return size * count;
}

class UdpSocket {
public:
    UdpSocket(const std::string& address, int port) : m_fd(socket(AF_INET, SOCK_DGRAM, 0))
    {
        sockaddr_in local = endpoint(address, port);
        if (m_fd >= 0 && bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~UdpSocket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool valid() const { return m_fd >= 0; }
    int port() const
    {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length);
        return ntohs(local.sin_port);
    }
    void send_to(const std::string& data, const std::string& address, int port) const
    {
        sockaddr_in remote = endpoint(address, port);
        sendto(m_fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&remote), sizeof remote);
    }
    std::optional<std::string> receive(int timeout_ms) const
    {
        pollfd wait{m_fd, POLLIN, 0};
        if (poll(&wait, 1, timeout_ms) <= 0)
            return std::nullopt;
        char buffer[2048];
        const ssize_t got = recv(m_fd, buffer, sizeof buffer, 0);
        if (got < 0)
            return std::nullopt;
        return std::string(buffer, static_cast<size_t>(got));
    }

    static sockaddr_in endpoint(const std::string& address, int port)
    {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, address.c_str(), &at.sin_addr);
        return at;
    }

private:
    int m_fd;
};

uint16_t read16(const std::string& data, size_t at)
{
    return static_cast<uint16_t>(
        (static_cast<unsigned char>(data[at]) << 8) | static_cast<unsigned char>(data[at + 1]));
}

} // namespace

HttpReply http_get(const std::string& url, const std::string& ca_file)
{
    HttpReply reply;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append_body);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    if (!ca_file.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, ca_file.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
    }
    const CURLcode result = curl_easy_perform(curl);
    reply.transferred = result == CURLE_OK;
    reply.error = curl_easy_strerror(result);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_easy_cleanup(curl);
    return reply;
}

std::string md5_upper(const std::string& text)
{
    md5_ctx context;
    uint8_t digest[MD5_DIGEST_SIZE];
    md5_init(&context);
    md5_update(&context, text.size(), reinterpret_cast<const uint8_t*>(text.data()));
    md5_digest(&context, sizeof digest, digest);
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (const uint8_t byte : digest) {
        out += hex[byte >> 4];
        out += hex[byte & 15];
    }
    return out;
}

int run_program(const std::vector<std::string>& argv, const std::string& log_file, int timeout_ms)
{
    test_support::ChildProcess program(argv, log_file);
    return program.wait_for_exit(timeout_ms).value_or(-1);
}

std::optional<std::string> stun_binding(
    const std::string& local_address, const std::string& address, int port, int* local_port)
{
    UdpSocket sock(local_address, 0);
    if (!sock.valid())
        return std::nullopt;
    if (local_port)
        *local_port = sock.port();
    std::mt19937 random{std::random_device{}()};
    std::string request = {0x00, 0x01, 0x00, 0x00, 0x21, 0x12, static_cast<char>(0xA4), 0x42};
    for (int i = 0; i < 12; ++i)
        request += static_cast<char>(random());
    for (int attempt = 0; attempt < 3; ++attempt) {
        sock.send_to(request, address, port);
        const auto answer = sock.receive(500);
        if (!answer || answer->size() < 20 || read16(*answer, 0) != 0x0101 ||
            answer->compare(4, 16, request, 4, 16) != 0)
            continue;
        // Attributes: type, length, value padded to four bytes.
        for (size_t at = 20; at + 4 <= answer->size();) {
            const uint16_t type = read16(*answer, at);
            const uint16_t length = read16(*answer, at + 2);
            if (type == 0x0020 && length >= 8 && at + 12 <= answer->size()) {
                const uint16_t mapped_port = read16(*answer, at + 6) ^ 0x2112;
                unsigned char ip[4];
                for (int i = 0; i < 4; ++i)
                    ip[i] = static_cast<unsigned char>((*answer)[at + 8 + i]) ^
                        static_cast<unsigned char>(request[4 + i]);
                char text[32];
                std::snprintf(text, sizeof text, "%u.%u.%u.%u:%u", ip[0], ip[1], ip[2], ip[3], mapped_port);
                return std::string(text);
            }
            at += 4 + ((length + 3u) & ~3u);
        }
        return std::string();
    }
    return std::nullopt;
}

int rtp_echoed(const std::string& local_address, int local_port, const std::string& address, int port,
    int packets, int timeout_ms)
{
    UdpSocket sock(local_address, local_port);
    if (!sock.valid())
        return 0;
    int echoed = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (uint16_t sequence = 1; echoed < packets && std::chrono::steady_clock::now() < deadline; ++sequence) {
        // RTP version 2, PCMU, this sequence number, 160 bytes of silence.
        std::string packet = {static_cast<char>(0x80), 0x00, static_cast<char>(sequence >> 8),
            static_cast<char>(sequence & 0xFF)};
        packet += std::string(8, '\x11') + std::string(160, static_cast<char>(0xFF));
        sock.send_to(packet, address, port);
        if (const auto back = sock.receive(20); back && *back == packet)
            ++echoed;
    }
    return echoed;
}

} // namespace service_client
