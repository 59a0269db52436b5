#include "support/local_service.h"

#include "support/child_process.h"

#include <cstdlib>
#include <filesystem>

namespace test_support {

namespace {

std::string servicectl_path() {
    return (std::filesystem::path(KALVO_TESTS_DIR).parent_path() / "service" / "servicectl").string();
}

} // namespace

LocalService::LocalService(std::string address) : m_address(std::move(address)) {
    ::setenv("KALVO_BUILD_DIR", KALVO_BINARY_DIR, 0);
    m_started = servicectl({"start", m_dir.path(), "--address", m_address}, 60000);
}

LocalService::~LocalService() {
    if (m_started)
        servicectl({"stop", m_dir.path()}, 20000);
}

bool LocalService::set_voicemail(const std::string& user, int new_messages, int old_messages) {
    return servicectl({"voicemail", m_dir.path(), user, std::to_string(new_messages), std::to_string(old_messages)},
                      10000);
}

bool LocalService::servicectl(const std::vector<std::string>& args, int timeout_ms) {
    std::vector<std::string> argv{"bash", servicectl_path()};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess child(argv);
    auto code = child.wait_for_exit(timeout_ms);
    return code && *code == 0;
}

} // namespace test_support
