#include "faulty_replies.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::size_t kHugeBody = 50u << 20;
constexpr std::size_t kChunk = 64 * 1024;
// What a good reply would start with: the head of a version reply.
const std::string kBody = "Kalvo version service\n4.0.0.22\n";

std::string head(const std::string& status, std::size_t length, const char* line_end = "\r\n")
{
    return "HTTP/1.1 " + status + line_end + "Content-Type: text/plain" + line_end +
        "Content-Length: " + std::to_string(length) + line_end + "Connection: close" + line_end + line_end;
}

bool write_all(SSL* ssl, const std::string& data)
{
    return data.empty() || SSL_write(ssl, data.data(), static_cast<int>(data.size())) > 0;
}

std::string openssl_error()
{
    char text[256] = "unknown error";
    if (unsigned long code = ERR_get_error())
        ERR_error_string_n(code, text, sizeof text);
    return text;
}

} // namespace

bool FaultyReplies::known_mode(const std::string& mode)
{
    return mode == "short" || mode == "crlf" || mode == "huge" || mode == "stall" || mode == "500" ||
        mode == "404";
}

FaultyReplies::~FaultyReplies()
{
    stop();
    if (m_context)
        SSL_CTX_free(m_context);
}

bool FaultyReplies::listen(const std::string& address, int port, const std::string& certificate,
    const std::string& key, std::string* error)
{
    m_context = SSL_CTX_new(TLS_server_method());
    if (!m_context || SSL_CTX_use_certificate_chain_file(m_context, certificate.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(m_context, key.c_str(), SSL_FILETYPE_PEM) != 1) {
        *error = "cannot load the certificate: " + openssl_error();
        return false;
    }
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<uint16_t>(port));
    m_listen_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    if (m_listen_fd < 0 || ::inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1 ||
        ::setsockopt(m_listen_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(m_listen_fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
        ::listen(m_listen_fd, 16) != 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        *error = "cannot listen on " + address + ":" + std::to_string(port);
        return false;
    }
    m_thread = std::thread([this] { serve(); });
    return true;
}

void FaultyReplies::set_mode(const std::string& mode)
{
    if (!known_mode(mode))
        return;
    std::lock_guard lock(m_mutex);
    m_mode = mode;
}

void FaultyReplies::stop()
{
    if (m_stopping.exchange(true) || !m_thread.joinable())
        return;
    (void)!::write(m_wake[1], "x", 1);
    m_thread.join();
    for (int fd : {m_listen_fd, m_wake[0], m_wake[1]})
        ::close(fd);
}

void FaultyReplies::serve()
{
    while (!m_stopping) {
        pollfd fds[2] = {{m_listen_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || fds[1].revents)
            continue;
        int client = ::accept4(m_listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        // Nothing waits on a client for long, whatever it does.
        timeval limit{5, 0};
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        answer(client);
        ::close(client);
    }
}

void FaultyReplies::answer(int client)
{
    SSL* ssl = SSL_new(m_context);
    SSL_set_fd(ssl, client);
    std::string request;
    if (SSL_accept(ssl) == 1) {
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
            int got = SSL_read(ssl, buffer, sizeof buffer);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
    }
    if (request.find("\r\n\r\n") == std::string::npos) {
        SSL_free(ssl);
        return;
    }
    std::string mode;
    {
        std::lock_guard lock(m_mutex);
        mode = m_mode;
    }
    std::printf("%s -> faulty reply %s\n", request.substr(0, request.find("\r\n")).c_str(), mode.c_str());
    std::fflush(stdout);

    if (mode == "short") {
        write_all(ssl, head("200 OK", kBody.size()) + kBody.substr(0, kBody.size() / 2));
    } else if (mode == "crlf") {
        write_all(ssl, head("200 OK", kBody.size(), "\r") + kBody);
    } else if (mode == "huge") {
        std::string padding(kChunk, 'x');
        bool open = write_all(ssl, head("200 OK", kHugeBody) + kBody);
        // Until all is sent or the client stops reading.
        for (std::size_t sent = kBody.size(); open && sent < kHugeBody && !m_stopping;
             sent += padding.size()) {
            padding.resize(std::min(kChunk, kHugeBody - sent));
            open = write_all(ssl, padding);
        }
    } else if (mode == "stall") {
        wait_for_client_to_go(client);
    } else {
        const std::string page = "<html><body>error " + mode + "</body></html>";
        write_all(
            ssl, head(mode == "500" ? "500 Internal Server Error" : "404 Not Found", page.size()) + page);
    }
    SSL_shutdown(ssl);
    SSL_free(ssl);
}

void FaultyReplies::wait_for_client_to_go(int client)
{
    char buffer[256];
    for (int waited = 0; waited < 120000 && !m_stopping; waited += 100) {
        pollfd fds[2] = {{client, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, 100) > 0 && fds[0].revents && ::recv(client, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}
