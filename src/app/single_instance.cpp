#include "app/single_instance.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "base/messages.h"
#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/paths.h"

namespace single_instance {
namespace {

constexpr int kTimeoutMs = 200;

std::string lock_path()
{
    return paths::join(paths::runtime_dir(), "instance.lock");
}
std::string socket_path()
{
    return paths::join(paths::runtime_dir(), "instance.sock");
}

bool fill_address(sockaddr_un& address, const std::string& path)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void set_timeouts(int fd)
{
    timeval timeout{0, kTimeoutMs * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

bool write_all(int fd, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// Reads one line ending in "\n" (without it); empty on time-out or a line too long.
std::string read_line(int fd, size_t limit)
{
    std::string line;
    char c = 0;
    while (line.size() <= limit) {
        ssize_t n = ::recv(fd, &c, 1, 0);
        if (n <= 0)
            return {};
        if (c == '\n')
            return line;
        line.push_back(c);
    }
    return {};
}

std::string read_to_end(int fd, size_t limit)
{
    std::string data;
    char buffer[1024];
    for (;;) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<size_t>(n));
        if (data.size() > limit)
            break;
    }
    return data;
}

} // namespace

bool acquire()
{
    paths::make_dirs(paths::runtime_dir());
    // The descriptor stays open for the life of the process: the lock goes with it.
    int fd = ::open(lock_path().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    return true;
}

bool forward(const std::string& command_line)
{
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    set_timeouts(fd);
    sockaddr_un address{};
    bool ok = fill_address(address, socket_path()) &&
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        write_all(fd, "UWM_IS_ME\n") && read_line(fd, 32) == std::to_string(messages::UWM_IS_ME);
    if (ok) {
        // A text over the limit goes without its body: the running window still comes
        // forward, and logs the refusal.
        std::string header = "WM_COPYDATA " + std::to_string(command_line.size()) + "\n";
        ok = write_all(fd, command_line.size() > kMaxForwardedBytes ? header : header + command_line);
        ::shutdown(fd, SHUT_WR);
        ok = ok && read_line(fd, 32) == "OK";
    }
    ::close(fd);
    return ok;
}

Server::Server(ui_thread::MessageTarget* window) : m_window(window)
{
    std::string path = socket_path();
    sockaddr_un address{};
    if (!fill_address(address, path))
        return;
    ::unlink(path.c_str()); // a socket left by a process that died; we hold the lock
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
        ::pipe2(m_wake_fd, O_CLOEXEC) != 0) {
        LogDlg::instance().append(std::string("Could not listen for later starts: ") + std::strerror(errno));
        ::close(fd);
        return;
    }
    m_listen_fd = fd;
    m_thread = std::thread([this] { serve(); });
}

Server::~Server()
{
    if (m_listen_fd < 0)
        return;
    char wake = 1;
    [[maybe_unused]] auto written = ::write(m_wake_fd[1], &wake, 1);
    m_thread.join();
    ::close(m_listen_fd);
    ::close(m_wake_fd[0]);
    ::close(m_wake_fd[1]);
    ::unlink(socket_path().c_str());
}

void Server::serve()
{
    for (;;) {
        pollfd fds[2] = {{m_listen_fd, POLLIN, 0}, {m_wake_fd[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        int client = ::accept4(m_listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        set_timeouts(client);
        answer(client);
        ::close(client);
    }
}

void Server::answer(int client)
{
    if (read_line(client, 32) != "UWM_IS_ME")
        return;
    ui_thread::Result id = ui_thread::send(m_window, messages::UWM_IS_ME);
    if (!write_all(client, std::to_string(id) + "\n"))
        return;
    std::string header = read_line(client, 32);
    if (!header.starts_with("WM_COPYDATA "))
        return;
    size_t length = std::strtoul(header.c_str() + 12, nullptr, 10);
    std::string text;
    if (length > kMaxForwardedBytes) {
        log_file::write_line("INSTANCE - Command line from a later start refused: " + std::to_string(length) +
            " bytes, longer than the command buffer");
    } else {
        text = read_to_end(client, length);
        text.resize(std::min(text.size(), length));
    }
    ui_thread::send_text(m_window, messages::WM_COPYDATA, std::move(text));
    write_all(client, "OK\n");
}

} // namespace single_instance
