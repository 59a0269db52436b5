#pragma once
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct StunOutcome {
    bool ok = false;
    std::string mapped_ip; // the address the server saw, when ok
    int mapped_port = 0;
    std::string error; // why it failed, when not ok
};

// One STUN binding request (RFC 5389, libnice's STUN usage) from a UDP socket bound to
// bind_address ("" for any), retransmitted until the deadline. Blocks.
StunOutcome stun_bind(
    const std::string& server, int port, const std::string& bind_address, std::chrono::milliseconds deadline);

// Runs stun_bind on a worker thread; the owner polls for the outcome.
class StunProbe {
public:
    static constexpr std::chrono::milliseconds kDeadline{3000};

    StunProbe(std::string server, int port, std::string bind_address);
    ~StunProbe(); // waits for the worker (at most the deadline)
    StunProbe(const StunProbe&) = delete;
    StunProbe& operator=(const StunProbe&) = delete;

    // The outcome once, when the worker has finished; nothing before that.
    std::optional<StunOutcome> take_outcome();

private:
    std::mutex m_mutex;
    std::optional<StunOutcome> m_outcome;
    std::thread m_worker;
};
