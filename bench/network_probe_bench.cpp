// Start-up cost of the network probe when interfaces do not answer: the one-after-the-
// other probe waits one time-out per dead interface, the concurrent probe one in all.
// Usage: network_probe_bench [time-out in ms, default 5000]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "net/network_probe.h"
#include "net/service_requests.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"

namespace {

using Clock = std::chrono::steady_clock;

// The probe as first designed: one interface after the other.
std::string sequential_probe(
    const std::vector<std::string>& interfaces, const std::string& address, std::chrono::milliseconds timeout)
{
    for (const std::string& interface : interfaces) {
        HttpReply reply = get_text(connection_check_request(address, interface, timeout));
        if (reply.ok() && reply.body == "OK")
            return interface;
    }
    return kNoInterface;
}

template <typename Probe> double seconds_taken(Probe probe)
{
    auto start = Clock::now();
    probe();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    std::chrono::milliseconds timeout(argc > 1 ? std::atoi(argv[1]) : 5000);
    test_support::LogCapture log; // the probe's log lines stay out of the real log
    test_support::SilentListener dead_service;
    std::string address =
        "http://127.0.0.1:" + std::to_string(dead_service.port()) + "/client/check_connection.php";
    std::vector<std::string> interfaces{"127.0.0.2", "127.0.0.3", "127.0.0.4"};

    double sequential = seconds_taken([&] { sequential_probe(interfaces, address, timeout); });
    double concurrent = seconds_taken([&] { probe_network(interfaces, address, timeout); });

    std::printf("network probe, %zu dead interfaces, time-out %lld ms\n", interfaces.size(),
        static_cast<long long>(timeout.count()));
    std::printf("  one after the other: %8.3f s\n", sequential);
    std::printf("  concurrent:          %8.3f s\n", concurrent);
    std::printf("  ratio:               %8.2f x\n", sequential / concurrent);
    return 0;
}
