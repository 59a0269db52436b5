#include "net/network_probe.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/http_request.h"
#include "net/service_requests.h"

namespace {

constexpr std::size_t kMaxInterfaces = 20;
constexpr std::chrono::seconds kProbeTimeout{5};
constexpr const char* kExpectedReply = "OK";

void log_both(const std::string& message)
{
    LogDlg::instance().append(message);
    log_file::write_line("NETWORK - " + message);
}

struct InterfaceProbe {
    TextSink sink;
    std::unique_ptr<EasyRequest> easy;
    bool done = false;
    CURLcode code = CURLE_OK;
    long status = 0;

    bool passed() const
    {
        return done && code == CURLE_OK && status >= 200 && status < 300 && sink.text == kExpectedReply;
    }
};

// The interface the one-after-the-other probe would choose, as soon as the finished probes
// settle it: the first passing one after only failed ones. `decided` stays false while an
// earlier interface is still pending.
struct Decision {
    bool decided = false;
    std::optional<std::size_t> chosen;
};

Decision decide(const std::vector<InterfaceProbe>& probes)
{
    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (!probes[i].done)
            return {};
        if (probes[i].passed())
            return {true, i};
    }
    return {true, std::nullopt};
}

// Runs every probe in one multi handle until the decision is known.
void run_until_decided(std::vector<InterfaceProbe>& probes)
{
    CURLM* multi = curl_multi_init();
    for (std::size_t i = 0; i < probes.size(); ++i) {
        curl_easy_setopt(probes[i].easy->handle(), CURLOPT_PRIVATE, reinterpret_cast<void*>(i));
        if (curl_multi_add_handle(multi, probes[i].easy->handle()) != CURLM_OK) {
            probes[i].done = true;
            probes[i].code = CURLE_FAILED_INIT;
        }
    }
    int running = 0;
    for (;;) {
        curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            void* index = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &index);
            InterfaceProbe& probe = probes[reinterpret_cast<std::size_t>(index)];
            probe.done = true;
            probe.code = message->data.result;
            probe.status = probe.easy->read_status();
        }
        if (decide(probes).decided || running == 0)
            break;
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    for (InterfaceProbe& probe : probes)
        curl_multi_remove_handle(multi, probe.easy->handle());
    curl_multi_cleanup(multi);
}

} // namespace

std::vector<std::string> list_ipv4_interfaces()
{
    // An IPv4 datagram socket tells whether the machine speaks IPv4 at all.
    int probe_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (probe_socket < 0)
        log_both("SOCKET_ERROR");
    else
        ::close(probe_socket);

    std::vector<std::string> interfaces;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        log_both("Failed calling WSAIoctl()");
        return interfaces;
    }
    for (ifaddrs* entry = list; entry && interfaces.size() < kMaxInterfaces; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        char dotted[INET_ADDRSTRLEN];
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (::inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted))
            interfaces.emplace_back(dotted);
    }
    ::freeifaddrs(list);
    return interfaces;
}

std::string probe_network(const std::vector<std::string>& interfaces, const std::string& probe_address,
    std::chrono::milliseconds timeout)
{
    std::size_t count = std::min(interfaces.size(), kMaxInterfaces);
    std::vector<InterfaceProbe> probes(count);
    for (std::size_t i = 0; i < count; ++i)
        probes[i].easy = std::make_unique<EasyRequest>(
            connection_check_request(probe_address, interfaces[i], timeout), probes[i].sink);
    if (count > 0)
        run_until_decided(probes);

    Decision decision = decide(probes);
    std::size_t failed = decision.chosen.value_or(count);
    for (std::size_t i = 0; i < failed; ++i) {
        log_file::write_line("NETWORK - Error on interface " + interfaces[i]);
        LogDlg::instance().append("CURL error on interface: ");
        LogDlg::instance().append(interfaces[i]);
    }
    if (!decision.chosen)
        return kNoInterface;

    const std::string& address = interfaces[*decision.chosen];
    LogDlg& log = LogDlg::instance();
    log.append("BUFFER IS:");
    log.append(probes[*decision.chosen].sink.text);
    log.append("CURL success on interface: ");
    log.append(address);
    log_file::write_line("NETWORK - Binding to " + address);
    return address;
}

std::string probe_network(const std::vector<std::string>& interfaces, const std::string& probe_address)
{
    return probe_network(interfaces, probe_address, kProbeTimeout);
}

std::string probe_network()
{
    return probe_network(list_ipv4_interfaces(), connection_check_address());
}
