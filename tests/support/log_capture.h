#pragma once
#include <string>
#include <vector>

#include "support/test_paths.h"

namespace test_support {

// An isolated user whose kalvo.log goes into its own folder, with the log window's buffer
// emptied, so a test reads exactly the lines it caused.
class LogCapture {
public:
    LogCapture();
    // kalvo.log's lines without their timestamps.
    std::vector<std::string> file_lines() const;
    // The log window's messages, in order.
    std::vector<std::string> window_messages() const;

private:
    IsolatedUser m_user;
    std::string m_install_path;
};

} // namespace test_support
