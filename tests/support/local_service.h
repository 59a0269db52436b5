#pragma once
#include "support/test_paths.h"

#include <string>
#include <vector>

namespace test_support {

// One instance of the local stand-in service (service/servicectl) on a loopback address,
// started in a temporary folder and stopped when the object goes.
class LocalService {
public:
    explicit LocalService(std::string address);
    ~LocalService();
    LocalService(const LocalService&) = delete;
    LocalService& operator=(const LocalService&) = delete;

    bool started() const { return m_started; }
    const std::string& address() const { return m_address; }
    const std::string& dir() const { return m_dir.path(); }
    // Sets an account's voice-mail counts; the notifier sends NOTIFY at once.
    bool set_voicemail(const std::string& user, int new_messages, int old_messages);

private:
    bool servicectl(const std::vector<std::string>& args, int timeout_ms);

    std::string m_address;
    TempDir m_dir;
    bool m_started = false;
};

} // namespace test_support
