#pragma once
#include <chrono>
#include <string>

#include "telephony/sipx/udp_probe.h"

struct OptionsOutcome {
    bool answered = false;
    std::string error; // why not, when not answered
};

// The OPTIONS request a probe sends, from local_ip:local_port to host:port.
std::string sip_options_request(const std::string& host, int port, const std::string& local_ip,
    int local_port, const std::string& call_id, const std::string& branch, const std::string& tag);
// Whether a datagram is a SIP response (any status) to the request with this Call-ID.
bool is_sip_response_to(const std::string& datagram, const std::string& call_id);

// One OPTIONS request over UDP to host:port from a socket bound to bind_address ("" for
// any), retransmitted until the deadline. Any response counts as an answer. Blocks.
OptionsOutcome sip_options_ping(
    const std::string& host, int port, const std::string& bind_address, std::chrono::milliseconds deadline);

// Runs sip_options_ping on a worker thread; the owner polls for the outcome.
class SipOptionsProbe : public ProbeWorker<OptionsOutcome> {
public:
    static constexpr std::chrono::milliseconds kDeadline{2000};

    SipOptionsProbe(std::string host, int port, std::string bind_address)
        : ProbeWorker([host = std::move(host), port, bind_address = std::move(bind_address)] {
              return sip_options_ping(host, port, bind_address, kDeadline);
          })
    {
    }
};

// Seconds until a keep-alive's next request: its period while answered; after unanswered
// ones 2, 4, 8 ... seconds, never longer than the period.
int keepalive_delay_seconds(int period, int failures);
