#include "ui/main/call_events.h"

#include "base/messages.h"
#include "base/ui_thread.h"
#include "telephony/call_manager.h"

CallEvents::CallEvents(CallManager& manager, ui_thread::MessageTarget& window, Actions actions)
{
    ui_thread::MessageTarget* target = &window;
    m_connections.emplace_back(manager.call_state_changed.connect(
        [target](SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause, SIPX_CALL call) {
            ui_thread::post(
                target, messages::UWM_CALLSTATE_MSG, event, messages::call_state_lparam(cause, call));
        }));
    m_connections.emplace_back(manager.line_state_changed.connect([target](SIPX_LINESTATE_EVENT event) {
        ui_thread::post(target, messages::UWM_LINESTATE_MSG, event);
    }));
    m_connections.emplace_back(manager.config_event.connect([target](SIPX_CONFIG_EVENT event) {
        ui_thread::post(target, messages::UWM_CONFIGSTATE_MSG, event);
    }));
    m_connections.emplace_back(
        manager.messages_waiting.connect([target, action = actions.voicemail_count](int count) {
            ui_thread::invoke_for(target, [action, count] { action(count); });
        }));
    m_connections.emplace_back(manager.show_register_page.connect(
        [target, action = actions.show_register_page] { ui_thread::invoke_for(target, action); }));
    m_connections.emplace_back(
        manager.levels_changed.connect([target] { ui_thread::post(target, messages::UWM_LEVELS_MSG); }));
    m_connections.emplace_back(manager.logout_requested.connect(
        [target, action = actions.sign_out] { ui_thread::invoke_for(target, action); }));
    m_connections.emplace_back(manager.login_check_requested.connect(
        [target] { ui_thread::post(target, messages::UWM_LOGINCHECK_MSG); }));
    m_connections.emplace_back(
        manager.missed_call.connect([target, action = actions.missed_call](const std::string& caller) {
            ui_thread::invoke_for(target, [action, caller] { action(caller); });
        }));
}
