// Stack events: log lines, the call manager's own reactions, and the signals.
#include <exception>

#include "log/log_dlg.h"
#include "settings/deployment.h"
#include "telephony/call_manager.h"
#include "telephony/message_waiting.h"
#include "telephony/ring_file.h"

namespace {

constexpr std::size_t kEventTextSize = 128;
constexpr SIPX_CONTACT_ID kSubscriptionContact = 1;

} // namespace

bool CallManager::on_sipx_event(SIPX_EVENT_CATEGORY category, void* info, void* user_data)
{
    if (!user_data || !info) {
        log_window("Ignoring a SIP event without its record (category " + std::to_string(category) + ")");
        return false;
    }
    // Nothing may escape into the stack's thread: a failing slot is logged, not fatal.
    try {
        return static_cast<CallManager*>(user_data)->handle_event(category, info);
    } catch (const std::exception& error) {
        log_window(std::string("Handling a SIP event failed: ") + error.what());
    } catch (...) {
        log_window("Handling a SIP event failed");
    }
    return false;
}

bool CallManager::handle_event(SIPX_EVENT_CATEGORY category, const void* info)
{
    switch (category) {
    case EVENT_CATEGORY_CALLSTATE:
        on_call_state(*static_cast<const SIPX_CALLSTATE_INFO*>(info));
        return true;
    case EVENT_CATEGORY_LINESTATE:
        on_line_state(*static_cast<const SIPX_LINESTATE_INFO*>(info));
        return true;
    case EVENT_CATEGORY_INFO_STATUS:
    case EVENT_CATEGORY_INFO:
        log_event_text(category, info);
        return true;
    case EVENT_CATEGORY_NOTIFY:
        on_notify(*static_cast<const SIPX_NOTIFY_INFO*>(info));
        return true;
    case EVENT_CATEGORY_CONFIG:
        log_event_text(category, info);
        config_event(static_cast<const SIPX_CONFIG_INFO*>(info)->event);
        return true;
    case EVENT_CATEGORY_SUB_STATUS:
    case EVENT_CATEGORY_SECURITY:
    case EVENT_CATEGORY_MEDIA:
    case EVENT_CATEGORY_KEEPALIVE:
        return false;
    }
    log_window("Ignoring a SIP event of unknown category " + std::to_string(category));
    return false;
}

void CallManager::log_event_text(SIPX_EVENT_CATEGORY category, const void* info)
{
    char text[kEventTextSize] = {};
    sipxEventToString(category, info, text, sizeof text);
    text[kEventTextSize - 1] = '\0';
    log_window(text);
}

void CallManager::on_call_state(const SIPX_CALLSTATE_INFO& info)
{
    log_event_text(EVENT_CATEGORY_CALLSTATE, &info);
    if (info.hCall == SIPX_CALL_NULL) {
        log_window("Ignoring a call event without a call handle");
        return;
    }
    run_call_side_effects(info);
    call_state_changed(info.event, info.cause);
}

void CallManager::run_call_side_effects(const SIPX_CALLSTATE_INFO& info)
{
    if (info.event != CALLSTATE_DISCONNECTED && info.event != CALLSTATE_DESTROYED)
        m_call = info.hCall;

    switch (info.event) {
    case CALLSTATE_OFFERING:
        sipxCallAccept(m_call, nullptr, nullptr, nullptr, false);
        break;
    case CALLSTATE_ALERTING:
        sipxCallAudioPlayFileStart(m_call, ring_file_path().c_str(), true, true, false, false, 1.0f);
        break;
    case CALLSTATE_CONNECTED:
        sipxCallAudioPlayFileStop(m_call);
        break;
    case CALLSTATE_DISCONNECTED:
    case CALLSTATE_DESTROYED:
        // The call that ended, which need not be the current one any more.
        sipxCallAudioPlayFileStop(info.hCall);
        break;
    default:
        break;
    }
}

void CallManager::on_line_state(const SIPX_LINESTATE_INFO& info)
{
    log_window("Got a line state event");
    log_event_text(EVENT_CATEGORY_LINESTATE, &info);
    if (info.event == LINESTATE_REGISTERED)
        subscribe_to_messages();
    line_state_changed(info.event);
}

void CallManager::subscribe_to_messages()
{
    // Each registration refresh subscribes anew; the earlier subscription is left running.
    SIPX_SUB subscription = SIPX_SUB_NULL;
    sipxConfigSubscribe(m_inst, m_line, Deployment::get().voicemail.c_str(), "message-summary",
        "application/simple-message-summary", kSubscriptionContact, &subscription);
    m_sub = subscription;
}

void CallManager::on_notify(const SIPX_NOTIFY_INFO& info)
{
    if (!info.pContent || info.nContentLength == 0)
        return;
    std::string body =
        message_waiting::body_text(static_cast<const char*>(info.pContent), info.nContentLength);
    std::string problem;
    std::optional<int> count = message_waiting::count(body, &problem);
    if (!problem.empty())
        log_window("Ignoring a message-summary notification: " + problem);
    if (count && *count > 0)
        messages_waiting(*count);
}
