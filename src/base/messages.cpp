#include "base/messages.h"

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

} // namespace messages
