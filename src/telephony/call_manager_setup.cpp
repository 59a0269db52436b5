// Stack set-up and the SIP line.
#include <cstring>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/network_probe.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "telephony/call_addressing.h"
#include "telephony/call_manager.h"
#include "telephony/sip_password.h"

namespace {

constexpr int kTlsPort = 4255;
constexpr int kFirstRtpPort = 9000;
constexpr int kMaxConnections = 32;
constexpr int kStunPort = 3478;
constexpr int kStunKeepAliveSeconds = 24;
constexpr int kRegisterResponseWaitSeconds = 20;
constexpr std::size_t kMaxLocalContacts = 32;

// A fixed-size text field of a stack record, never read past its end.
template <std::size_t N> std::string field_text(const char (&field)[N])
{
    return std::string(field, ::strnlen(field, N));
}

} // namespace

void CallManager::log_window(const std::string& text)
{
    LogDlg::instance().append(text);
}

CallManager& CallManager::instance()
{
    static CallManager* manager = new CallManager([] { return probe_network(); });
    return *manager;
}

CallManager::CallManager(NetworkProbe probe) : m_probe(std::move(probe)) { }

CallManager::~CallManager()
{
    if (SIPX_INST instance = m_inst.exchange(nullptr))
        sipxUnInitialize(instance, true);
}

void CallManager::write_log_file(const std::string& text)
{
    log_file::write_line(text);
}

bool CallManager::init()
{
    if (m_inst.load()) {
        log_window("The SIP stack is already initialised");
        return true;
    }
    AppSettings settings;
    settings.load();

    m_bind_address = m_probe ? m_probe() : std::string(kNoInterface);
    log_window("We're binding to interface " + m_bind_address);

    // With no identity yet, the stack is first started bound to the probed interface and
    // stopped again at once, before the real start below.
    if (settings.identity.empty()) {
        SIPX_INST probe_instance = nullptr;
        SIPX_RESULT result = sipxInitialize(&probe_instance, SIPX_PORT_AUTO, SIPX_PORT_AUTO, kTlsPort,
            kFirstRtpPort, kMaxConnections, "", m_bind_address.c_str(), false, nullptr, nullptr, nullptr);
        if (result == SIPX_RESULT_SUCCESS)
            sipxUnInitialize(probe_instance, false);
    }

    sipxConfigSetLogLevel(LOG_LEVEL_NONE);
    if (!start_stack(settings))
        return false;

    if (!settings.proxy_server.empty())
        sipxConfigSetOutboundProxy(m_inst, settings.proxy_server.c_str());
    sipxEventListenerAdd(m_inst, &CallManager::on_sipx_event, this);
    log_local_contacts();
    return true;
}

bool CallManager::start_stack(const AppSettings& settings)
{
    SIPX_INST instance = nullptr;
    // SIP and media listen on the interface the probe chose, not on every interface; with
    // none chosen the stack keeps its own default.
    const char* bind = m_bind_address == kNoInterface ? nullptr : m_bind_address.c_str();
    SIPX_RESULT result = sipxInitialize(&instance, SIPX_PORT_AUTO, SIPX_PORT_AUTO, kTlsPort, kFirstRtpPort,
        kMaxConnections, settings.identity.c_str(), bind, false, nullptr, nullptr, nullptr);
    if (result != SIPX_RESULT_SUCCESS || !instance) {
        log_window("Error initializing sipX");
        return false;
    }
    m_inst = instance;

    sipxAudioSetAECMode(m_inst, SIPX_AEC_DISABLED);
    sipxAudioSetAGCMode(m_inst, false);
    sipxAudioSetNoiseReductionMode(m_inst, SIPX_NOISE_REDUCTION_DISABLED);
    sipxConfigEnableStun(m_inst, settings.stun_server.c_str(), kStunPort, kStunKeepAliveSeconds);
    sipxConfigSetAudioCodecByName(m_inst, "SPEEX");
    log_codecs();
    sipxConfigSetRegisterResponseWaitSeconds(m_inst, kRegisterResponseWaitSeconds);
    sipxConfigSetUserAgentName(m_inst, "Kalvo", false);
    sipxConfigEnableRport(m_inst, true);
    sipxConfigEnableDnsSrv(false);
    log_window("********** Done initializing sipXtapi");
    return true;
}

void CallManager::log_codecs()
{
    int count = 0;
    sipxConfigGetNumAudioCodecs(m_inst, &count);
    log_window("********** Looking for codecs");
    for (int index = 0; index < count; ++index) {
        SIPX_AUDIO_CODEC codec{};
        if (sipxConfigGetAudioCodec(m_inst, index, &codec) == SIPX_RESULT_SUCCESS)
            log_window(field_text(codec.cName));
    }
}

void CallManager::log_local_contacts()
{
    SIPX_CONTACT_ADDRESS contacts[kMaxLocalContacts]{};
    std::size_t count = 0;
    if (sipxConfigGetLocalContacts(m_inst, contacts, kMaxLocalContacts, &count) != SIPX_RESULT_SUCCESS)
        count = 0;
    for (std::size_t i = 0; i < count && i < kMaxLocalContacts; ++i) {
        std::string address = field_text(contacts[i].cIpAddress);
        write_log_file("CALLMANAGER - Got IP " + address);
        if (contacts[i].eContactType == CONTACT_LOCAL)
            write_log_file("CALLMANAGER - Using address " + address + " as local contact");
    }
}

void CallManager::set_account_type(const std::string& account_type)
{
    log_window("********** Setting account to type: " + account_type);
    m_account_type = account_type;
}

void CallManager::set_outbound_proxy(const std::string& proxy)
{
    m_outbound_proxy = proxy;
}

void CallManager::login(const std::string& user, const std::string& password)
{
    log_window("Trying to login with username:");
    log_window(user);
    log_window("and password:");
    log_window(kMaskedPassword);

    const std::string& domain = Deployment::get().sip_domain;
    AppSettings settings;
    settings.load();
    settings.username = user;
    settings.password = password;
    settings.identity = user + "@" + domain;
    settings.save();
    if (!m_inst.load()) {
        log_window("The SIP stack is not running; the line cannot be registered");
        return;
    }

    std::string line_password = sip_password(password);
    sipxConfigEnableStun(m_inst, settings.stun_server.c_str(), kStunPort, kStunKeepAliveSeconds);
    sipxConfigEnableRport(m_inst, true);
    sipxConfigSetRegisterExpiration(m_inst, m_register_expiration);
    sipxConfigSetOutboundProxy(m_inst, m_outbound_proxy.c_str());

    // The old line's subscription goes with it; the new line subscribes once registered.
    end_subscription();
    m_resubscribe = false;
    m_offline = false;
    {
        std::lock_guard lock(m_line_mutex);
        m_registered = false;
    }
    sipxLineRemove(m_line);
    // Signed in before the line registers: the service may answer before this function
    // ends, and that registration must find the sign-in made (it subscribes to messages).
    m_logged_in = true;
    SIPX_LINE line = SIPX_LINE_NULL;
    SIPX_RESULT added = sipxLineAdd(m_inst, settings.identity.c_str(), &line, 0);
    m_line = line;
    if (added == SIPX_RESULT_SUCCESS &&
        sipxLineAddCredential(m_line, user.c_str(), line_password.c_str(), domain.c_str()) ==
            SIPX_RESULT_SUCCESS) {
        sipxLineRegister(m_line, true);
    } else {
        // An account the SIP layer cannot carry (a user name far too long, say) fails like a
        // refused registration.
        log_window("The line for this account could not be set up");
        line_state_changed(LINESTATE_REGISTER_FAILED);
    }

    choose_audio_devices(settings.input_device, settings.output_device);
    watch_service();
}

void CallManager::watch_service()
{
    stop_watching_service();
    // The registrar: the outbound proxy, else the SIP domain.
    call_addressing::ServerAddress server = call_addressing::server_address(
        m_outbound_proxy.empty() ? Deployment::get().sip_domain : m_outbound_proxy);
    if (server.host.empty())
        return;
    if (sipxConfigKeepAliveAdd(m_inst, 0, SIPX_KEEPALIVE_SIP_OPTIONS, server.host.c_str(), server.port,
            kKeepAliveSeconds) == SIPX_RESULT_SUCCESS) {
        m_watched_host = server.host;
        m_watched_port = server.port;
    }
}

void CallManager::stop_watching_service()
{
    if (m_watched_host.empty())
        return;
    sipxConfigKeepAliveRemove(m_inst, 0, SIPX_KEEPALIVE_SIP_OPTIONS, m_watched_host.c_str(), m_watched_port);
    m_watched_host.clear();
    m_watched_port = 0;
}

void CallManager::choose_audio_devices(int input_device, int output_device)
{
    std::size_t count = 0;
    const char* name = nullptr;
    sipxAudioGetNumInputDevices(m_inst, &count);
    if (static_cast<unsigned>(input_device) < count &&
        sipxAudioGetInputDevice(m_inst, input_device, &name) == SIPX_RESULT_SUCCESS && name)
        sipxAudioSetCallInputDevice(m_inst, name);

    count = 0;
    name = nullptr;
    sipxAudioGetNumOutputDevices(m_inst, &count);
    if (static_cast<unsigned>(output_device) < count &&
        sipxAudioGetOutputDevice(m_inst, output_device, &name) == SIPX_RESULT_SUCCESS && name)
        sipxAudioSetCallOutputDevice(m_inst, name);
}

void CallManager::unregister()
{
    m_logged_in = false;
    stop_watching_service();
    end_subscription();
    bool registered = false;
    {
        std::lock_guard lock(m_line_mutex);
        registered = m_registered;
    }
    if (sipxLineRegister(m_line, false) != SIPX_RESULT_SUCCESS || !registered)
        return;
    // The program may end right after: give the service a moment to drop the line.
    std::unique_lock lock(m_line_mutex);
    if (!m_line_changed.wait_for(lock, kUnregisterWait, [this] { return !m_registered; }))
        log_window("The service did not confirm the sign-out in time");
}

void CallManager::note_line_state(SIPX_LINESTATE_EVENT event)
{
    {
        std::lock_guard lock(m_line_mutex);
        if (event == LINESTATE_REGISTERED)
            m_registered = true;
        else if (event == LINESTATE_UNREGISTERED || event == LINESTATE_UNREGISTER_FAILED ||
            event == LINESTATE_REGISTER_FAILED)
            m_registered = false;
    }
    m_line_changed.notify_all();
}
