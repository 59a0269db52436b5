#pragma once
#include <mutex>
#include <string>

#include "net/version_reply.h"

// The per-login values of the version reply (lines 4 to 8) as the main window keeps them.
struct LoginValues {
    std::string info_version;
    bool show_info = false;
    std::string account_type;
    std::string account_details;
    std::string outbound_proxy;
};

// The main window's copy of the per-login values. A login thread stores them before it
// sends or posts its message; the interface thread reads them in the handlers that follow.
// Several login threads may store at once, so every access is under a lock.
class LoginReplyValues {
public:
    void store(const VersionReply& reply);
    LoginValues get() const;

private:
    mutable std::mutex m_mutex;
    LoginValues m_values;
};
