#pragma once
#include <boost/signals2/connection.hpp>
#include <functional>
#include <string>
#include <vector>

namespace ui_thread {
class MessageTarget;
}
class CallManager;

// The main window's slots on the call manager's signals. They run on the SIP engine
// thread and only hand over to the interface thread: call (with the call's handle), line,
// configuration, level and login-check events as the window's messages; the voice-mail
// count, the registration page, the sign-out and a missed call as the given actions, run
// there while the window exists.
class CallEvents {
public:
    struct Actions {
        std::function<void(int count)> voicemail_count;
        std::function<void()> show_register_page;
        std::function<void()> sign_out;
        std::function<void(const std::string& caller)> missed_call;
    };

    CallEvents(CallManager& manager, ui_thread::MessageTarget& window, Actions actions);

private:
    std::vector<boost::signals2::scoped_connection> m_connections;
};
