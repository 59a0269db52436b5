#pragma once
#include <string>

#include "base/ui_thread.h"

// The program's registered window messages. Every instance of the same build gets the
// same numbers, so a second instance can ask the first one "UWM_IS_ME".
namespace messages {

enum : ui_thread::Message {
    UWM_IS_ME = 0xC100,
    UWM_CALLSTATE_MSG,
    UWM_LINESTATE_MSG,
    UWM_CONFIGSTATE_MSG,
    UWM_MENU_MSG,
    UWM_TEXTEVENT_MSG,
    UWM_EVENT_MSG,
    UWM_SHOWTAB_MSG,
    UWM_SETTINGS_MSG,
    UWM_LOGIN_MSG,
    UWM_LOGINCHECK_MSG,
    UWM_DO_UPDATE_MSG,
    UWM_UPDATE_DONE_MSG,
    UWM_DO_CONNECTION_MSG,
    UWM_NAVIGATE_MSG,
    UWM_CMDDATA_MSG,
    UWM_LEVELS_MSG,
    UWM_IM_SEND_MSG,
    UWM_STARTUP_MSG,
    UWM_WIZ_CALLSTATE_MSG,
    UWM_WIZ_TEXTEVENT_MSG,
    UWM_WIZ_ENABLEBUTTONS_MSG,
    UWM_WIZ_DISABLEBUTTONS_MSG,
    WM_TRAYICON,
    kRegisteredEnd
};

// Ordinary window messages the program posts to its own windows.
enum : ui_thread::Message {
    WM_CLOSE = 0x0010,
    WM_COPYDATA = 0x004A,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
};

// The application GUID that ends every registered name and names the instance lock.
inline constexpr const char* kApplicationGuid = "{5A1D2E3F-7B6C-4e8d-9F0A-1B2C3D4E5F60}";

// "UWM_CALLSTATE_MSG-{5A1D...}" for a registered message; empty for any other number.
std::string registered_name(ui_thread::Message message);

// UWM_CALLSTATE_MSG: wParam is the call-state event; lParam the cause in its low 32 bits
// and the call's handle in the high 32, so every event names its call.
static_assert(sizeof(ui_thread::LParam) >= 8, "the call-state lParam holds two 32-bit values");
ui_thread::LParam call_state_lparam(int cause, unsigned call);
int call_state_cause(ui_thread::LParam lparam);
unsigned call_state_call(ui_thread::LParam lparam);

} // namespace messages
