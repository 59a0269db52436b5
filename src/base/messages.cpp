#include "base/messages.h"

#include <cstdint>

namespace messages {

std::string registered_name(ui_thread::Message message)
{
    static const char* const kNames[] = {"UWM_IS_ME", "UWM_CALLSTATE_MSG", "UWM_LINESTATE_MSG",
        "UWM_CONFIGSTATE_MSG", "UWM_MENU_MSG", "UWM_TEXTEVENT_MSG", "UWM_EVENT_MSG", "UWM_SHOWTAB_MSG",
        "UWM_SETTINGS_MSG", "UWM_LOGIN_MSG", "UWM_LOGINCHECK_MSG", "UWM_DO_UPDATE_MSG", "UWM_UPDATE_DONE_MSG",
        "UWM_DO_CONNECTION_MSG", "UWM_NAVIGATE_MSG", "UWM_CMDDATA_MSG", "UWM_LEVELS_MSG", "UWM_IM_SEND_MSG",
        "UWM_STARTUP_MSG", "UWM_WIZ_CALLSTATE_MSG", "UWM_WIZ_TEXTEVENT_MSG", "UWM_WIZ_ENABLEBUTTONS_MSG",
        "UWM_WIZ_DISABLEBUTTONS_MSG", "WM_TRAYICON"};
    static_assert(sizeof kNames / sizeof kNames[0] == kRegisteredEnd - UWM_IS_ME);
    if (message < UWM_IS_ME || message >= kRegisteredEnd)
        return {};
    std::string name = kNames[message - UWM_IS_ME];
    if (message == WM_TRAYICON)
        return name;
    return name + "-" + kApplicationGuid;
}

ui_thread::LParam call_state_lparam(int cause, unsigned call)
{
    auto packed = (static_cast<std::uint64_t>(call) << 32) | static_cast<std::uint32_t>(cause);
    return static_cast<ui_thread::LParam>(packed);
}

int call_state_cause(ui_thread::LParam lparam)
{
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(lparam)));
}

unsigned call_state_call(ui_thread::LParam lparam)
{
    return static_cast<unsigned>(static_cast<std::uint64_t>(lparam) >> 32);
}

} // namespace messages
