#pragma once
#include <string>

// Writes <install_path>/crash-TIMESTAMP.txt (subject line, signal, backtrace) when the
// process receives SIGSEGV, SIGBUS, SIGFPE or SIGABRT, then lets the process die with
// the signal's default action. The handler runs on an alternate signal stack of the
// installing thread (the interface thread), so a stack overflow there is reported too.
namespace crash_reporter {

struct Handle {
    std::string subject;
    std::string folder;
};

// Installs the handlers once; later calls return the same handle.
const Handle* Install(const std::string& subject, const std::string& folder);

} // namespace crash_reporter
