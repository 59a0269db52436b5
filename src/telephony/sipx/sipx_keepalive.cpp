// Keep-alives: SIP OPTIONS requests that tell whether the service still answers.
#include "telephony/sipx/core_events.h"

namespace {

bool same_far_end(const SipxKeepAlive& keepalive, const std::string& host, int port)
{
    return keepalive.host == host && keepalive.port == port;
}

void retire(SipxInstance* inst, std::unique_ptr<SipxKeepAlive> keepalive)
{
    // Its request may still wait for an answer: the engine does not wait with it.
    if (keepalive->probe)
        inst->retired_probes.push_back(std::move(keepalive->probe));
}

// Removes the keep-alive for host:port; false when there is none.
bool remove_keepalive(SipxInstance* inst, const std::string& host, int port)
{
    auto& all = inst->keepalives;
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (same_far_end(**it, host, port)) {
            retire(inst, std::move(*it));
            all.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace

SIPX_RESULT sipxConfigKeepAliveAdd(SIPX_INST hInst, SIPX_CONTACT_ID, SIPX_KEEPALIVE_TYPE type,
    const char* szRemoteIp, int iRemotePort, int iKeepAliveSecs)
{
    if (type != SIPX_KEEPALIVE_SIP_OPTIONS)
        return sipx_refuse("sipxConfigKeepAliveAdd", "only SIP OPTIONS keep-alives are implemented",
            SIPX_RESULT_NOT_IMPLEMENTED);
    if (!szRemoteIp || !*szRemoteIp || iRemotePort <= 0 || iRemotePort > 65535 || iKeepAliveSecs <= 0)
        return sipx_refuse("sipxConfigKeepAliveAdd", "no far end, or no period");
    return sipx_with_instance("sipxConfigKeepAliveAdd", hInst, [&](SipxInstance* inst) {
        remove_keepalive(inst, szRemoteIp, iRemotePort);
        auto keepalive = std::make_unique<SipxKeepAlive>();
        keepalive->host = szRemoteIp;
        keepalive->port = iRemotePort;
        keepalive->period = iKeepAliveSecs;
        keepalive->next = std::chrono::steady_clock::now(); // the first request at the next tick
        inst->keepalives.push_back(std::move(keepalive));
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigKeepAliveRemove(
    SIPX_INST hInst, SIPX_CONTACT_ID, SIPX_KEEPALIVE_TYPE type, const char* szRemoteIp, int iRemotePort)
{
    if (type != SIPX_KEEPALIVE_SIP_OPTIONS || !szRemoteIp)
        return sipx_refuse("sipxConfigKeepAliveRemove", "no such keep-alive");
    return sipx_with_instance("sipxConfigKeepAliveRemove", hInst, [&](SipxInstance* inst) {
        return remove_keepalive(inst, szRemoteIp, iRemotePort)
            ? SIPX_RESULT_SUCCESS
            : sipx_refuse("sipxConfigKeepAliveRemove",
                  "no keep-alive for " + std::string(szRemoteIp) + ":" + std::to_string(iRemotePort));
    });
}

void sipx_poll_keepalives(SipxInstance* inst)
{
    std::erase_if(inst->retired_probes, [](const auto& probe) { return probe->take_outcome().has_value(); });

    struct Report {
        SIPX_KEEPALIVE_EVENT event;
        std::string host;
        int port;
        int period;
    };
    std::vector<Report> reports;
    auto now = std::chrono::steady_clock::now();
    for (auto& keepalive : inst->keepalives) {
        if (!keepalive->probe) {
            if (now >= keepalive->next)
                keepalive->probe =
                    std::make_unique<SipOptionsProbe>(keepalive->host, keepalive->port, inst->bind_address);
            continue;
        }
        auto outcome = keepalive->probe->take_outcome();
        if (!outcome)
            continue;
        keepalive->probe.reset();
        if (outcome->answered) {
            keepalive->failures = 0;
        } else {
            ++keepalive->failures;
            sipx_log("keep-alive: " + outcome->error);
        }
        keepalive->next =
            now + std::chrono::seconds(keepalive_delay_seconds(keepalive->period, keepalive->failures));
        // The first outcome and every change are reported; agreeing rounds are quiet.
        if (keepalive->reported != outcome->answered) {
            keepalive->reported = outcome->answered;
            reports.push_back({outcome->answered ? KEEPALIVE_FEEDBACK : KEEPALIVE_FAILURE, keepalive->host,
                keepalive->port, keepalive->period});
        }
    }
    // After the loop: the callback may add or remove keep-alives.
    for (const Report& report : reports) {
        if (!sipx_state::find_instance(inst))
            return;
        SIPX_KEEPALIVE_INFO info{sizeof(SIPX_KEEPALIVE_INFO), report.event, SIPX_KEEPALIVE_SIP_OPTIONS,
            report.host.c_str(), report.port, report.period};
        sipx_emit(inst, EVENT_CATEGORY_KEEPALIVE, &info);
    }
}
