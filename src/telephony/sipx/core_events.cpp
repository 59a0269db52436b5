#include "telephony/sipx/core_events.h"

#include "telephony/sipx/engine_thread.h"
#include "telephony/sipx/sip_sockets.h"

namespace {

void on_call_state(LinphoneCore* core, LinphoneCall* call, LinphoneCallState state, const char*)
{
    if (SipxInstance* inst = sipx_instance_of(core))
        sipx_on_call_state(inst, call, state);
}

void on_account_registration(
    LinphoneCore* core, LinphoneAccount* account, LinphoneRegistrationState state, const char*)
{
    if (SipxInstance* inst = sipx_instance_of(core))
        sipx_on_registration_state(inst, account, state);
}

void on_notify(LinphoneCore* core, LinphoneEvent* event, const char*, const LinphoneContent* body)
{
    if (SipxInstance* inst = sipx_instance_of(core))
        sipx_on_notify(inst, event, body);
}

void on_dtmf(LinphoneCore* core, LinphoneCall* call, int dtmf)
{
    SipxInstance* inst = sipx_instance_of(core);
    if (!inst)
        return;
    SIPX_MEDIA_INFO info{sizeof(SIPX_MEDIA_INFO), MEDIA_REMOTE_DTMF, sipx_state::call_of(call),
        static_cast<SIPX_TONE_ID>(dtmf)};
    sipx_emit(inst, EVENT_CATEGORY_MEDIA, &info);
}

} // namespace

SipxInstance* sipx_instance_of(LinphoneCore* core)
{
    return core ? sipx_state::find_instance(linphone_core_get_user_data(core)) : nullptr;
}

void sipx_attach_core_callbacks(LinphoneCore* core)
{
    LinphoneCoreCbs* cbs = linphone_factory_create_core_cbs(linphone_factory_get());
    linphone_core_cbs_set_call_state_changed(cbs, on_call_state);
    linphone_core_cbs_set_account_registration_state_changed(cbs, on_account_registration);
    linphone_core_cbs_set_notify_received(cbs, on_notify);
    linphone_core_cbs_set_dtmf_received(cbs, on_dtmf);
    linphone_core_add_callbacks(core, cbs);
    linphone_core_cbs_unref(cbs);
}

int sipx_udp_port(LinphoneCore* core)
{
    LinphoneTransports* used = linphone_core_get_transports_used(core);
    int port = used ? linphone_transports_get_udp_port(used) : 0;
    if (used)
        linphone_transports_unref(used);
    return port;
}

namespace {

constexpr std::chrono::seconds kSocketCheckPeriod{5};

// The core's UDP sockets, looked up again every few seconds.
const std::vector<int>& sip_sockets(SipxInstance* inst)
{
    auto now = std::chrono::steady_clock::now();
    if (now - inst->sip_sockets_checked >= kSocketCheckPeriod) {
        inst->sip_sockets_checked = now;
        inst->sip_sockets = datagram_sockets_on_port(sipx_udp_port(inst->core));
    }
    return inst->sip_sockets;
}

} // namespace

TickNeeds sipx_tick(SipxInstance* inst)
{
    linphone_core_iterate(inst->core);
    // The callbacks run by iterate may have un-initialised the instance.
    if (!sipx_state::find_instance(inst))
        return {EngineThread::kQuietPeriod, {}};
    sipx_check_register_waits(inst);
    sipx_poll_stun(inst);
    sipx_poll_keepalives(inst);
    // Between calls the core only has timers of seconds and its sockets to read; a call
    // has media events to hand on as well. Without a socket to watch, the short period stays.
    const std::vector<int>& sockets = sip_sockets(inst);
    if (sockets.empty())
        return {EngineThread::kIdlePeriod, {}};
    if (!sipx_state::calls_of(inst).empty() || linphone_core_get_calls_nb(inst->core) > 0)
        return {EngineThread::kCallPeriod, sockets};
    return {EngineThread::kQuietPeriod, sockets};
}
