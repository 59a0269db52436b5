// Stack events: log lines, the call manager's own reactions, and the signals.
#include <exception>

#include "log/log_dlg.h"
#include "settings/deployment.h"
#include "telephony/call_addressing.h"
#include "telephony/call_manager.h"
#include "telephony/message_waiting.h"
#include "telephony/ring_file.h"

namespace {

constexpr std::size_t kEventTextSize = 128;
constexpr SIPX_CONTACT_ID kSubscriptionContact = 1;
constexpr int kBusyHere = 486;

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
    case EVENT_CATEGORY_KEEPALIVE:
        log_event_text(category, info);
        on_keepalive(*static_cast<const SIPX_KEEPALIVE_INFO*>(info));
        return true;
    case EVENT_CATEGORY_SUB_STATUS:
    case EVENT_CATEGORY_SECURITY:
    case EVENT_CATEGORY_MEDIA:
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
    if (refuse_second_call(info))
        return;
    run_call_side_effects(info);
    call_state_changed(info.event, info.cause, info.hCall);
}

bool CallManager::refuse_second_call(const SIPX_CALLSTATE_INFO& info)
{
    // A refused call's later events are the manager's own: the window and the wizard
    // only ever hear of the call in progress.
    if (m_refused.count(info.hCall)) {
        if (info.event == CALLSTATE_DESTROYED)
            m_refused.erase(info.hCall);
        return true;
    }
    SIPX_CALL current = m_call;
    if (info.event != CALLSTATE_OFFERING || current == SIPX_CALL_NULL || current == info.hCall ||
        current == m_ending)
        return false;
    std::string caller = call_addressing::remote_user(info.szRemoteIdentity ? info.szRemoteIdentity : "");
    log_window("Busy: refusing the call from " + caller + " during call " + std::to_string(current));
    write_log_file("CALLMANAGER - Missed call from " + caller + " (busy)");
    SIPX_CALL refused = info.hCall;
    m_refused.insert(refused); // before the reject, whose events may come at once
    sipxCallReject(refused, kBusyHere, "Busy Here");
    sipxCallDestroy(&refused);
    missed_call(caller);
    return true;
}

void CallManager::run_call_side_effects(const SIPX_CALLSTATE_INFO& info)
{
    if (info.event != CALLSTATE_DISCONNECTED && info.event != CALLSTATE_DESTROYED)
        m_call = info.hCall;
    // The meter follows the current call while it is connected.
    if (info.event == CALLSTATE_CONNECTED)
        m_levels.start();
    else if ((info.event == CALLSTATE_DISCONNECTED || info.event == CALLSTATE_DESTROYED) &&
        info.hCall == m_call)
        m_levels.stop();

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
    note_line_state(info.event);
    if (info.event == LINESTATE_REGISTERED) {
        m_offline = false;
        keep_subscribed();
    } else if (info.event == LINESTATE_REGISTER_FAILED) {
        m_resubscribe = true;
    }
    line_state_changed(info.event);
}

void CallManager::keep_subscribed()
{
    // A refresh keeps the subscription (the stack refreshes it); a first registration, or
    // one after a failure, subscribes anew.
    bool renew = m_resubscribe.exchange(false);
    if (!m_logged_in || (m_sub != SIPX_SUB_NULL && !renew))
        return;
    end_subscription();
    SIPX_SUB subscription = SIPX_SUB_NULL;
    sipxConfigSubscribe(m_inst, m_line, Deployment::get().voicemail.c_str(), "message-summary",
        "application/simple-message-summary", kSubscriptionContact, &subscription);
    m_sub = subscription;
    // Signed out meanwhile: unregister found no subscription to end, so end it here.
    if (!m_logged_in)
        end_subscription();
}

void CallManager::end_subscription()
{
    if (SIPX_SUB subscription = m_sub.exchange(SIPX_SUB_NULL))
        sipxConfigUnsubscribe(subscription);
}

void CallManager::on_keepalive(const SIPX_KEEPALIVE_INFO& info)
{
    if (!m_logged_in)
        return;
    if (info.event == KEEPALIVE_FAILURE) {
        if (m_offline.exchange(true))
            return;
        // Nobody can reach the user through a service that does not answer: say so now
        // rather than at the next registration refresh.
        log_window("The SIP service does not answer: the line is offline");
        write_log_file("LINESTATE - The SIP service does not answer");
        m_resubscribe = true;
        // A call through a service that is gone can be neither held nor ended properly:
        // it ends here, and its end events reach the window as for any other end.
        if (m_call != SIPX_CALL_NULL)
            end_call();
        note_line_state(LINESTATE_REGISTER_FAILED);
        line_state_changed(LINESTATE_REGISTER_FAILED);
    } else if (info.event == KEEPALIVE_FEEDBACK && m_offline.exchange(false)) {
        log_window("The SIP service answers again: registering the line");
        write_log_file("LINESTATE - The SIP service answers again");
        sipxLineRegister(m_line, true);
    }
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
