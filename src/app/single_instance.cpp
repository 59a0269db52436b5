#include "app/single_instance.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "base/messages.h"
#include "settings/paths.h"

namespace single_instance {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 200;
// The most one later start may hold the server up: a client that stalls is dropped so
// the starts queued behind it are answered.
constexpr std::chrono::milliseconds kClientDeadline{500};

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

// Reads from a socket until a deadline, or until the wake descriptor (when given) is
// readable: the server is going away.
class Reader {
public:
    Reader(int fd, int wake_fd, Clock::time_point deadline)
        : m_fd(fd), m_wake_fd(wake_fd), m_deadline(deadline)
    {
    }

    // Up to `size` bytes; 0 at the end of the stream, on time-out or on wake.
    ssize_t read(char* buffer, size_t size)
    {
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
            if (left.count() <= 0)
                return 0;
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake_fd, POLLIN, 0}};
            int ready = ::poll(fds, m_wake_fd >= 0 ? 2 : 1, static_cast<int>(left.count()));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0 || (m_wake_fd >= 0 && fds[1].revents))
                return 0;
            ssize_t n = ::recv(m_fd, buffer, size, 0);
            if (n < 0 && errno == EINTR)
                continue;
            return n < 0 ? 0 : n;
        }
    }

    // One line ending in "\n" (without it); empty on time-out or a line too long.
    std::string line(size_t limit)
    {
        std::string text;
        char c = 0;
        while (text.size() <= limit) {
            if (read(&c, 1) <= 0)
                return {};
            if (c == '\n')
                return text;
            text.push_back(c);
        }
        return {};
    }

    std::string to_end(size_t limit)
    {
        std::string data;
        char buffer[1024];
        while (data.size() <= limit) {
            ssize_t n = read(buffer, sizeof buffer);
            if (n <= 0)
                break;
            data.append(buffer, static_cast<size_t>(n));
        }
        return data;
    }

private:
    int m_fd;
    int m_wake_fd;
    Clock::time_point m_deadline;
};

} // namespace

Lock acquire(std::string& error)
{
    if (!paths::prepare_runtime_dir(error))
        return Lock::Unusable;
    // The descriptor stays open for the life of the process: the lock goes with it.
    int fd = ::open(lock_path().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = "cannot open " + lock_path() + ": " + std::strerror(errno);
        return Lock::Unusable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Lock::HeldElsewhere;
    }
    return Lock::Taken;
}

bool forward(const std::string& command_line)
{
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    set_timeouts(fd);
    // Each step gives up after its own 200 ms.
    auto step = [fd] { return Reader(fd, -1, Clock::now() + std::chrono::milliseconds(kTimeoutMs)); };
    sockaddr_un address{};
    bool ok = fill_address(address, socket_path()) &&
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        write_all(fd, "UWM_IS_ME\n") && step().line(32) == std::to_string(messages::UWM_IS_ME);
    if (ok) {
        // A text over the limit goes without its body: the running window still comes
        // forward, and logs the refusal.
        std::string header = "WM_COPYDATA " + std::to_string(command_line.size()) + "\n";
        ok = write_all(fd, command_line.size() > kMaxForwardedBytes ? header : header + command_line);
        ::shutdown(fd, SHUT_WR);
        ok = ok && step().line(32) == "OK";
    }
    ::close(fd);
    return ok;
}

int listen_socket(std::string& error)
{
    std::string path = socket_path();
    sockaddr_un address{};
    if (!fill_address(address, path)) {
        error = path + " is too long for a socket address";
        return -1;
    }
    ::unlink(path.c_str()); // a socket left by a process that died; we hold the lock
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // A long backlog: a burst of later starts (many links opened at once) all get in.
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

void stop_listening(int listen_fd)
{
    if (listen_fd < 0)
        return;
    ::close(listen_fd);
    ::unlink(socket_path().c_str());
}

Listener::Listener(int listen_fd, Sink sink) : m_listen_fd(listen_fd), m_sink(std::move(sink))
{
    if (m_listen_fd < 0 || ::pipe2(m_wake_fd, O_CLOEXEC) != 0)
        return;
    m_thread = std::thread([this] { serve(); });
}

Listener::~Listener()
{
    if (!m_thread.joinable())
        return;
    // The thread never waits for anyone but a later start, and drops a stalled one: short.
    char wake = 1;
    [[maybe_unused]] auto written = ::write(m_wake_fd[1], &wake, 1);
    m_thread.join();
    ::close(m_wake_fd[0]);
    ::close(m_wake_fd[1]);
}

void Listener::serve()
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

void Listener::answer(int client)
{
    Reader reader(client, m_wake_fd[0], Clock::now() + kClientDeadline);
    if (reader.line(32) != "UWM_IS_ME")
        return;
    if (!write_all(client, std::to_string(messages::UWM_IS_ME) + "\n"))
        return;
    std::string header = reader.line(32);
    if (!header.starts_with("WM_COPYDATA "))
        return;
    Forwarded forwarded;
    size_t length = std::strtoul(header.c_str() + 12, nullptr, 10);
    if (length > kMaxForwardedBytes) {
        forwarded.refused_length = length;
    } else {
        forwarded.text = reader.to_end(length);
        forwarded.text.resize(std::min(forwarded.text.size(), length));
    }
    // Acknowledged before the window has seen it: the later start may end at once.
    write_all(client, "OK\n");
    m_sink(std::move(forwarded));
}

} // namespace single_instance
