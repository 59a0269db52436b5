// Local contacts: the IPv4 interfaces, and the address a STUN server saw.
#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>

#include "telephony/sipx/core_events.h"

namespace {

void copy_text(char (&to)[SIPX_CONTACT_ADDRESS_LEN], const std::string& from)
{
    std::strncpy(to, from.c_str(), sizeof to - 1);
    to[sizeof to - 1] = '\0';
}

} // namespace

SIPX_RESULT sipxConfigGetLocalContacts(
    SIPX_INST hInst, SIPX_CONTACT_ADDRESS addresses[], size_t nMaxAddresses, size_t* pnActualAddresses)
{
    if (!pnActualAddresses || (!addresses && nMaxAddresses > 0))
        return sipx_refuse("sipxConfigGetLocalContacts", "no array to fill");
    *pnActualAddresses = 0;
    return sipx_with_instance(
        "sipxConfigGetLocalContacts", hInst,
        [&](SipxInstance* inst) {
            int port = sipx_udp_port(inst->core);
            size_t count = 0;
            auto add = [&](SIPX_CONTACT_TYPE type, const std::string& interface, const std::string& ip,
                           int at_port) {
                if (count >= nMaxAddresses)
                    return;
                SIPX_CONTACT_ADDRESS& entry = addresses[count];
                std::memset(&entry, 0, sizeof entry);
                entry.id = static_cast<SIPX_CONTACT_ID>(count + 1);
                entry.eContactType = type;
                entry.eTransportType = TRANSPORT_UDP;
                copy_text(entry.cInterface, interface);
                copy_text(entry.cIpAddress, ip);
                entry.iPort = at_port;
                ++count;
            };
            ifaddrs* list = nullptr;
            if (getifaddrs(&list) == 0) {
                for (ifaddrs* it = list; it; it = it->ifa_next) {
                    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET || !(it->ifa_flags & IFF_UP))
                        continue;
                    char ip[INET_ADDRSTRLEN] = {};
                    inet_ntop(
                        AF_INET, &reinterpret_cast<sockaddr_in*>(it->ifa_addr)->sin_addr, ip, sizeof ip);
                    if (!inst->bind_address.empty() && inst->bind_address != ip)
                        continue;
                    add(CONTACT_LOCAL, it->ifa_name ? it->ifa_name : "", ip, port);
                }
                freeifaddrs(list);
            }
            // A bind address on no interface of its own (a loopback alias) is still ours.
            if (count == 0 && !inst->bind_address.empty())
                add(CONTACT_LOCAL, "lo", inst->bind_address, port);
            if (!inst->mapped_ip.empty())
                add(CONTACT_NAT_MAPPED, "", inst->mapped_ip, inst->mapped_port);
            *pnActualAddresses = count;
            return SIPX_RESULT_SUCCESS;
        },
        SipxWork::Query);
}

void sipx_poll_stun(SipxInstance* inst)
{
    auto now = std::chrono::steady_clock::now();
    if (inst->stun) {
        auto outcome = inst->stun->take_outcome();
        if (!outcome)
            return;
        inst->stun.reset();
        if (outcome->ok) {
            inst->mapped_ip = outcome->mapped_ip;
            inst->mapped_port = outcome->mapped_port;
        } else {
            inst->mapped_ip.clear();
            inst->mapped_port = 0;
            sipx_log("STUN: " + outcome->error);
        }
        // Report the first outcome and every change; keep-alive rounds that agree are quiet.
        if (inst->stun_reported != outcome->ok) {
            inst->stun_reported = outcome->ok;
            sipx_report_stun(inst);
        }
        return;
    }
    if (inst->stun_server.empty() || now < inst->stun_next)
        return;
    // The next round: after the keep-alive period, or never when there is none.
    inst->stun_next = inst->stun_keepalive > 0 ? now + std::chrono::seconds(inst->stun_keepalive)
                                               : std::chrono::steady_clock::time_point::max();
    inst->stun = std::make_unique<StunProbe>(inst->stun_server, inst->stun_port, inst->bind_address);
}

void sipx_report_stun(SipxInstance* inst)
{
    if (!inst->stun_reported)
        return;
    bool ok = *inst->stun_reported;
    std::string mapped = ok ? inst->mapped_ip + ":" + std::to_string(inst->mapped_port) : "";
    SIPX_CONFIG_INFO info{
        sizeof(SIPX_CONFIG_INFO), ok ? CONFIG_STUN_SUCCESS : CONFIG_STUN_FAILURE, mapped.c_str()};
    sipx_emit(inst, EVENT_CATEGORY_CONFIG, &info);
}
