#pragma once
#include <chrono>
#include <string>

#include "telephony/sipx/udp_probe.h"

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
class StunProbe : public ProbeWorker<StunOutcome> {
public:
    static constexpr std::chrono::milliseconds kDeadline{3000};

    StunProbe(std::string server, int port, std::string bind_address)
        : ProbeWorker([server = std::move(server), port, bind_address = std::move(bind_address)] {
              return stun_bind(server, port, bind_address, kDeadline);
          })
    {
    }
};
