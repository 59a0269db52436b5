#pragma once
// What the probes that ask a server over UDP from a socket of their own share: the
// socket, one request with its retransmissions, and the worker thread that runs a probe
// while the engine polls for its outcome.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Bound to bind_address ("" for any) and connected to server:port (IPv4), so an ICMP
    // "port unreachable" ends a wait at once. False, with `error` set, when it cannot be.
    bool open(const std::string& server, int port, const std::string& bind_address, std::string& error);
    int fd() const { return m_fd; }
    // The local address and port the socket was given ("" and 0 before open).
    std::string local_address() const;
    int local_port() const;

    enum class Result { Answered, NoAnswer, Failed };
    // Sends the request and waits for a reply that `accept` takes, sending it again after
    // 250 ms, 500 ms, ... until the deadline. `error` says why it Failed (ICMP "port
    // unreachable" among others).
    Result request(const void* data, std::size_t size, std::chrono::milliseconds deadline,
        const std::function<bool(const std::uint8_t* reply, std::size_t size)>& accept,
        std::string& error) const;

private:
    int m_fd = -1;
};

// Runs one probe on a thread of its own; the owner polls for the outcome.
template <typename Outcome> class ProbeWorker {
public:
    explicit ProbeWorker(std::function<Outcome()> probe)
        : m_worker([this, probe = std::move(probe)] {
              Outcome outcome = probe();
              std::lock_guard lock(m_mutex);
              m_outcome = std::move(outcome);
          })
    {
    }
    ~ProbeWorker() // waits for the probe (at most its deadline)
    {
        if (m_worker.joinable())
            m_worker.join();
    }
    ProbeWorker(const ProbeWorker&) = delete;
    ProbeWorker& operator=(const ProbeWorker&) = delete;

    // The outcome once, when the probe has finished; nothing before that.
    std::optional<Outcome> take_outcome()
    {
        std::lock_guard lock(m_mutex);
        auto outcome = std::move(m_outcome);
        m_outcome.reset();
        return outcome;
    }

private:
    std::mutex m_mutex;
    std::optional<Outcome> m_outcome;
    std::thread m_worker; // last: it starts once the rest is built
};
