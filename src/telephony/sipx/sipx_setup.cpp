// Stack set-up: instances, their SIP core, and the stack-wide configuration calls.
#include <cstdlib>
#include <fstream>
#include <linphone/logging.h>

#include "telephony/sipx/core_config.h"
#include "telephony/sipx/core_events.h"
#include "telephony/sipx/engine_thread.h"
#include "telephony/sipx/sipx_state.h"

namespace {

bool g_dns_srv = true;
bool g_rport = true; // read by the core at start only
std::optional<SIPX_LOG_LEVEL> g_log_level;

const char* env_text(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

void apply_log_level(SIPX_LOG_LEVEL level)
{
    LinphoneLoggingService* service = linphone_logging_service_get();
    switch (level) {
    case LOG_LEVEL_DEBUG:
        linphone_logging_service_set_log_level(service, LinphoneLogLevelDebug);
        break;
    case LOG_LEVEL_INFO:
    case LOG_LEVEL_NOTICE:
        linphone_logging_service_set_log_level(service, LinphoneLogLevelMessage);
        break;
    case LOG_LEVEL_WARNING:
        linphone_logging_service_set_log_level(service, LinphoneLogLevelWarning);
        break;
    case LOG_LEVEL_ERR:
    case LOG_LEVEL_CRIT:
        linphone_logging_service_set_log_level(service, LinphoneLogLevelError);
        break;
    case LOG_LEVEL_ALERT:
    case LOG_LEVEL_EMERG:
        linphone_logging_service_set_log_level(service, LinphoneLogLevelFatal);
        break;
    default:
        linphone_logging_service_set_log_level_mask(service, 0);
        break;
    }
}

// sipx port argument → the core's transport port (-1 random, 0 off).
int transport_port(int port)
{
    if (port == SIPX_PORT_AUTO)
        return LC_SIP_TRANSPORT_RANDOM;
    if (port < 0 || port > 65535)
        return LC_SIP_TRANSPORT_DISABLED;
    return port;
}

// A folder name no live instance uses: "default" for the first.
std::string free_folder_name()
{
    for (int i = 0;; ++i) {
        std::string name = i == 0 ? "default" : "instance-" + std::to_string(i);
        bool taken = false;
        for (SipxInstance* inst : sipx_state::all_instances())
            taken = taken || inst->folder_name == name;
        if (!taken)
            return name;
    }
}

void configure_core(SipxInstance* inst, int udp, int tcp, int tls, const char* identity)
{
    LinphoneCore* core = inst->core;
    LinphoneTransports* transports = linphone_factory_create_transports(linphone_factory_get());
    linphone_transports_set_udp_port(transports, transport_port(udp));
    linphone_transports_set_tcp_port(transports, transport_port(tcp));
    linphone_transports_set_tls_port(transports, transport_port(tls));
    linphone_core_set_transports(core, transports);
    linphone_transports_unref(transports);

    linphone_core_enable_video_capture(core, FALSE);
    linphone_core_enable_video_display(core, FALSE);
    linphone_core_set_use_rfc2833_for_dtmf(core, TRUE);
    linphone_core_set_use_info_for_dtmf(core, FALSE);
    // Incoming calls ring (180) only when accepted; the ring file is ours, not the core's.
    linphone_core_enable_auto_send_ringing(core, FALSE);
    linphone_core_set_ring(core, nullptr);
    linphone_core_set_ringback(core, nullptr);
    linphone_core_enable_dns_srv(core, g_dns_srv ? TRUE : FALSE);
    linphone_core_set_user_agent(core, "Kalvo", nullptr);
    std::string problem;
    if (identity && *identity && !sipx_address_fits(identity, problem))
        sipx_log("sipxInitialize: the identity is not used as the contact: " + problem);
    else if (identity && *identity)
        linphone_core_set_primary_contact(core, sipx_uri(identity).c_str());

    if (const char* play = env_text(SIPX_ENV_PLAY_FILE)) {
        inst->file_mode = true;
        linphone_core_set_use_files(core, TRUE);
        linphone_core_set_play_file(core, play);
        const char* record = env_text(SIPX_ENV_RECORD_FILE);
        linphone_core_set_record_file(core, record);
    }
}

} // namespace

SIPX_RESULT sipxInitialize(SIPX_INST* phInst, int udpPort, int tcpPort, int tlsPort, int rtpPortStart,
    int maxConnections, const char* szIdentity, const char* szBindToAddr, bool /*bUseSequentialPorts*/,
    const char* /*szTLSCertificateNickname*/, const char* /*szTLSCertificatePassword*/,
    const char* /*szDbLocation*/)
{
    if (!phInst)
        return sipx_refuse("sipxInitialize", "no handle to fill");
    *phInst = nullptr;
    return sipx_on_engine([&]() -> SIPX_RESULT {
        // The environment overrides the level for diagnosis.
        if (const char* level = env_text(SIPX_ENV_LOG_LEVEL))
            apply_log_level(static_cast<SIPX_LOG_LEVEL>(std::atoi(level)));
        else if (!g_log_level)
            apply_log_level(LOG_LEVEL_ERR);
        auto inst = std::make_unique<SipxInstance>();
        inst->folder_name = free_folder_name();
        if (szBindToAddr && *szBindToAddr)
            inst->bind_address = szBindToAddr;
        else if (const char* bind = env_text(SIPX_ENV_BIND_ADDRESS))
            inst->bind_address = bind;

        CoreFolders folders = core_folders(inst->folder_name);
        if (!folders.ok)
            return sipx_refuse("sipxInitialize", "cannot create the folders under " + folders.data_dir,
                SIPX_RESULT_MISSING_RUNTIME_FILES);
        CoreConfigOptions options;
        options.bind_address = inst->bind_address;
        options.use_rport = g_rport;
        if (rtpPortStart > 0) {
            options.rtp_port_min = rtpPortStart;
            options.rtp_port_max = rtpPortStart + 2 * std::max(maxConnections, 1) - 1;
        }
        {
            std::ofstream config(folders.config_file, std::ios::trunc);
            config << core_config_text(options);
            if (!config.flush())
                return sipx_refuse("sipxInitialize", "cannot write " + folders.config_file,
                    SIPX_RESULT_MISSING_RUNTIME_FILES);
        }

        LinphoneFactory* factory = linphone_factory_get();
        linphone_factory_set_data_dir(factory, folders.data_dir.c_str());
        linphone_factory_set_config_dir(factory, folders.config_dir.c_str());
        linphone_factory_set_msplugins_dir(factory, folders.plugins_dir.c_str());
        inst->core = linphone_factory_create_core_3(factory, folders.config_file.c_str(), nullptr, nullptr);
        if (!inst->core)
            return sipx_refuse("sipxInitialize", "the SIP core could not be created", SIPX_RESULT_FAILURE);
        linphone_core_set_user_data(inst->core, inst.get());
        sipx_attach_core_callbacks(inst->core);
        configure_core(inst.get(), udpPort, tcpPort, tlsPort, szIdentity);
        if (linphone_core_start(inst->core) != 0) {
            linphone_core_unref(inst->core);
            return sipx_refuse("sipxInitialize", "the SIP core did not start", SIPX_RESULT_FAILURE);
        }
        SipxInstance* raw = inst.release();
        sipx_state::add_instance(raw);
        raw->tick_id = EngineThread::get().add_tick([raw]() -> TickNeeds {
            if (sipx_state::find_instance(raw))
                return sipx_tick(raw);
            return {EngineThread::kQuietPeriod, {}};
        });
        *phInst = raw;
        return SIPX_RESULT_SUCCESS;
    });
}

namespace {

void release_instance_objects(SipxInstance* inst)
{
    for (SIPX_CALL handle : sipx_state::calls_of(inst)) {
        SipxCall* call = sipx_state::find_call(handle);
        call->ring.reset();
        if (call->call)
            linphone_call_unref(call->call);
        sipx_state::remove_call(handle);
    }
    for (SIPX_SUB handle : sipx_state::subscriptions_of(inst)) {
        SipxSubscription* sub = sipx_state::find_subscription(handle);
        linphone_event_unref(sub->event);
        sipx_state::remove_subscription(handle);
    }
    for (SIPX_LINE handle : sipx_state::lines_of(inst)) {
        SipxLine* line = sipx_state::find_line(handle);
        linphone_account_unref(line->account);
        if (line->auth)
            linphone_auth_info_unref(line->auth);
        sipx_state::remove_line(handle);
    }
}

} // namespace

SIPX_RESULT sipxUnInitialize(SIPX_INST hInst, bool /*bForceShutdown*/)
{
    return sipx_on_engine([&]() -> SIPX_RESULT {
        SipxInstance* inst = sipx_state::find_instance(hInst);
        if (!inst)
            return sipx_refuse("sipxUnInitialize", "unknown instance");
        sipx_state::remove_instance(inst);
        EngineThread::get().remove_tick(inst->tick_id);
        release_instance_objects(inst);
        // The core may be iterating right now (a call from the event callback): stop and
        // free it after the current work.
        EngineThread::get().post([inst] {
            linphone_core_set_user_data(inst->core, nullptr);
            linphone_core_stop(inst->core);
            linphone_core_unref(inst->core);
            delete inst;
        });
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigSetLogLevel(SIPX_LOG_LEVEL logLevel)
{
    return sipx_on_engine([&] {
        g_log_level = logLevel;
        apply_log_level(logLevel);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxAudioSetAECMode(SIPX_INST hInst, SIPX_AEC_MODE mode)
{
    return sipx_with_instance("sipxAudioSetAECMode", hInst, [&](SipxInstance* inst) {
        linphone_core_enable_echo_cancellation(inst->core, mode != SIPX_AEC_DISABLED);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxAudioSetAGCMode(SIPX_INST hInst, bool bEnable)
{
    return sipx_with_instance("sipxAudioSetAGCMode", hInst, [&](SipxInstance* inst) {
        linphone_core_enable_agc(inst->core, bEnable);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxAudioSetNoiseReductionMode(SIPX_INST hInst, SIPX_NOISE_REDUCTION_MODE mode)
{
    return sipx_with_instance("sipxAudioSetNoiseReductionMode", hInst, [&](SipxInstance* inst) {
        // The core's noise gate is its only noise reduction.
        linphone_config_set_int(linphone_core_get_config(inst->core), "sound", "noisegate",
            mode != SIPX_NOISE_REDUCTION_DISABLED);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigEnableStun(SIPX_INST hInst, const char* szServer, int iServerPort, int iKeepAliveInSecs)
{
    return sipx_with_instance("sipxConfigEnableStun", hInst, [&](SipxInstance* inst) {
        inst->stun_server = szServer ? szServer : "";
        inst->stun_port = iServerPort;
        inst->stun_keepalive = std::max(iKeepAliveInSecs, 0);
        inst->stun_reported.reset();
        inst->stun_next = std::chrono::steady_clock::now(); // probe at the next tick
        // Keep the SIP flow's NAT binding open at the same period.
        if (inst->stun_keepalive > 0) {
            linphone_config_set_int(
                linphone_core_get_config(inst->core), "sip", "keepalive_period", inst->stun_keepalive * 1000);
            linphone_core_enable_keep_alive(inst->core, TRUE);
        }
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigDisableStun(SIPX_INST hInst)
{
    return sipx_with_instance("sipxConfigDisableStun", hInst, [&](SipxInstance* inst) {
        inst->stun_server.clear();
        inst->stun.reset();
        inst->mapped_ip.clear();
        inst->mapped_port = 0;
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigSetRegisterResponseWaitSeconds(SIPX_INST hInst, int seconds)
{
    return sipx_with_instance("sipxConfigSetRegisterResponseWaitSeconds", hInst, [&](SipxInstance* inst) {
        inst->register_wait_seconds = std::max(seconds, 0);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigSetUserAgentName(SIPX_INST hInst, const char* szName, bool bIncludePlatformName)
{
    return sipx_with_instance("sipxConfigSetUserAgentName", hInst, [&](SipxInstance* inst) {
        if (!szName || !*szName)
            return sipx_refuse("sipxConfigSetUserAgentName", "empty name");
        linphone_core_set_user_agent(inst->core, szName, bIncludePlatformName ? "Linux" : nullptr);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigEnableRport(SIPX_INST hInst, bool bEnable)
{
    return sipx_with_instance("sipxConfigEnableRport", hInst, [&](SipxInstance*) {
        if (bEnable != g_rport)
            sipx_log(std::string("rport ") + (bEnable ? "on" : "off") +
                " applies to instances started from now on");
        g_rport = bEnable;
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigEnableDnsSrv(bool bEnable)
{
    return sipx_on_engine([&] {
        g_dns_srv = bEnable;
        for (SipxInstance* inst : sipx_state::all_instances())
            linphone_core_enable_dns_srv(inst->core, bEnable);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigSetOutboundProxy(SIPX_INST hInst, const char* szProxy)
{
    return sipx_with_instance("sipxConfigSetOutboundProxy", hInst, [&](SipxInstance* inst) {
        inst->outbound_proxy = szProxy ? szProxy : "";
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigSetRegisterExpiration(SIPX_INST hInst, int seconds)
{
    return sipx_with_instance("sipxConfigSetRegisterExpiration", hInst, [&](SipxInstance* inst) {
        if (seconds <= 0)
            return sipx_refuse("sipxConfigSetRegisterExpiration", "expiry must be positive");
        inst->register_expiration = seconds;
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxEventListenerAdd(SIPX_INST hInst, SIPX_EVENT_CALLBACK_PROC pCallbackProc, void* pUserData)
{
    return sipx_with_instance("sipxEventListenerAdd", hInst, [&](SipxInstance* inst) {
        if (!pCallbackProc)
            return sipx_refuse("sipxEventListenerAdd", "no callback");
        inst->callback = pCallbackProc;
        inst->user_data = pUserData;
        // A STUN outcome that came before any listener would otherwise never be heard.
        EngineThread::get().post([inst] {
            if (sipx_state::find_instance(inst))
                sipx_report_stun(inst);
        });
        return SIPX_RESULT_SUCCESS;
    });
}
