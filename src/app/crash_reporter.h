#pragma once
#include <string>

// Writes <install_path>/crash-TIMESTAMP.txt (subject line, signal, backtrace) when the
// process receives SIGSEGV, SIGBUS, SIGFPE or SIGABRT, then lets the process die with
// the signal's default action.
namespace crash_reporter {

struct Handle {
    std::string subject;
    std::string folder;
};

// Installs the handlers once; later calls return the same handle.
const Handle* Install(const std::string& subject, const std::string& folder);

} // namespace crash_reporter
