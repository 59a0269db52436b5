#include "sipx_phone.h"

#include <algorithm>
#include <cstdlib>

bool EventLog::callback(SIPX_EVENT_CATEGORY category, void* info, void* user_data)
{
    auto* log = static_cast<EventLog*>(user_data);
    RecordedEvent recorded;
    recorded.category = category;
    switch (category) {
    case EVENT_CATEGORY_CALLSTATE: {
        auto* call = static_cast<SIPX_CALLSTATE_INFO*>(info);
        recorded.event = call->event;
        recorded.cause = call->cause;
        recorded.call = call->hCall;
        recorded.line = call->hLine;
        recorded.text = call->szRemoteIdentity ? call->szRemoteIdentity : "";
        break;
    }
    case EVENT_CATEGORY_LINESTATE: {
        auto* line = static_cast<SIPX_LINESTATE_INFO*>(info);
        recorded.event = line->event;
        recorded.cause = line->cause;
        recorded.line = line->hLine;
        break;
    }
    case EVENT_CATEGORY_CONFIG: {
        auto* config = static_cast<SIPX_CONFIG_INFO*>(info);
        recorded.event = config->event;
        recorded.text = config->szMappedAddress ? config->szMappedAddress : "";
        break;
    }
    case EVENT_CATEGORY_NOTIFY: {
        auto* notify = static_cast<SIPX_NOTIFY_INFO*>(info);
        if (notify->pContent)
            recorded.text.assign(static_cast<const char*>(notify->pContent), notify->nContentLength);
        break;
    }
    case EVENT_CATEGORY_KEEPALIVE: {
        auto* keepalive = static_cast<SIPX_KEEPALIVE_INFO*>(info);
        recorded.event = keepalive->event;
        recorded.text = std::string(keepalive->szRemoteAddress) + ":" + std::to_string(keepalive->remotePort);
        break;
    }
    case EVENT_CATEGORY_MEDIA: {
        auto* media = static_cast<SIPX_MEDIA_INFO*>(info);
        recorded.event = media->event;
        recorded.call = media->hCall;
        recorded.text = std::string(1, static_cast<char>(media->toneId));
        break;
    }
    default:
        break;
    }
    {
        std::lock_guard lock(log->m_mutex);
        log->m_events.push_back(recorded);
    }
    log->m_changed.notify_all();
    if (log->react)
        log->react(recorded);
    return true;
}

std::optional<RecordedEvent> EventLog::wait_for(const Match& match, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    std::optional<RecordedEvent> found;
    m_changed.wait_for(lock, timeout, [&] {
        for (auto& event : m_events)
            if (match(event)) {
                found = event;
                return true;
            }
        return false;
    });
    return found;
}

bool EventLog::wait_for_count(const Match& match, size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout,
        [&] { return static_cast<size_t>(std::count_if(m_events.begin(), m_events.end(), match)) >= count; });
}

std::vector<RecordedEvent> EventLog::all()
{
    std::lock_guard lock(m_mutex);
    return m_events;
}

EventLog::Match call_event(SIPX_CALLSTATE_EVENT event)
{
    return [event](
               const RecordedEvent& e) { return e.category == EVENT_CATEGORY_CALLSTATE && e.event == event; };
}
EventLog::Match line_event(SIPX_LINESTATE_EVENT event)
{
    return [event](
               const RecordedEvent& e) { return e.category == EVENT_CATEGORY_LINESTATE && e.event == event; };
}
EventLog::Match config_event(SIPX_CONFIG_EVENT event)
{
    return
        [event](const RecordedEvent& e) { return e.category == EVENT_CATEGORY_CONFIG && e.event == event; };
}
EventLog::Match keepalive_event(SIPX_KEEPALIVE_EVENT event)
{
    return [event](
               const RecordedEvent& e) { return e.category == EVENT_CATEGORY_KEEPALIVE && e.event == event; };
}
EventLog::Match notify_containing(const std::string& text)
{
    return [text](const RecordedEvent& e) {
        return e.category == EVENT_CATEGORY_NOTIFY && e.text.find(text) != std::string::npos;
    };
}

SipxPhone::SipxPhone(
    const std::string& bind_address, const std::string& play_file, const std::string& record_file)
{
    // The file audio mode is chosen when the instance starts.
    if (play_file.empty()) {
        ::unsetenv(SIPX_ENV_PLAY_FILE);
        ::unsetenv(SIPX_ENV_RECORD_FILE);
    } else {
        ::setenv(SIPX_ENV_PLAY_FILE, play_file.c_str(), 1);
        ::setenv(SIPX_ENV_RECORD_FILE, record_file.c_str(), 1);
    }
    if (sipxInitialize(&m_inst, SIPX_PORT_AUTO, SIPX_PORT_DISABLE, SIPX_PORT_DISABLE, 0, 32, "",
            bind_address.c_str(), false, nullptr, nullptr, nullptr) != SIPX_RESULT_SUCCESS) {
        m_inst = nullptr;
        return;
    }
    sipxConfigSetAudioCodecByName(m_inst, "SPEEX");
    sipxConfigEnableDnsSrv(false);
    sipxEventListenerAdd(m_inst, &EventLog::callback, &m_events);
}

SipxPhone::~SipxPhone()
{
    if (m_inst)
        sipxUnInitialize(m_inst, true);
}

void SipxPhone::login(const std::string& user, const std::string& sip_password, const std::string& proxy)
{
    sipxConfigSetOutboundProxy(m_inst, proxy.c_str());
    sipxConfigSetRegisterExpiration(m_inst, 1000);
    std::string identity = user + "@kalvo.test";
    sipxLineAdd(m_inst, identity.c_str(), &m_line, 0);
    sipxLineAddCredential(m_line, user.c_str(), sip_password.c_str(), "kalvo.test");
    sipxLineRegister(m_line, true);
}

bool SipxPhone::sign_in(const std::string& user, const std::string& sip_password, const std::string& proxy)
{
    login(user, sip_password, proxy);
    SIPX_LINE line = m_line;
    return m_events
        .wait_for([line](const RecordedEvent& e) {
            return e.category == EVENT_CATEGORY_LINESTATE && e.event == LINESTATE_REGISTERED &&
                e.line == line;
        })
        .has_value();
}
