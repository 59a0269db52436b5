#include "support/local_service.h"

#include <csignal>
#include <cstdlib>
#include <exception>

#include "support/child_process.h"

namespace test_support {

int LocalService::servicectl(const std::string& arguments, std::string* output)
{
    const std::string command = "KALVO_BUILD_DIR=" + shell_quote(KALVO_BINARY_DIR) + " " +
        shell_quote(std::string(KALVO_TESTS_DIR) + "/../service/servicectl") + " " + arguments;
    return run_command(command, output);
}

LocalService::LocalService(const std::string& address) : m_address(address)
{
    start();
}

LocalService::~LocalService()
{
    stop();
}

bool LocalService::start()
{
    m_running = servicectl("start " + shell_quote(m_folder.path()) + " --address " + shell_quote(m_address),
                    &m_output) == 0;
    return m_running;
}

bool LocalService::stop()
{
    m_running = false;
    return servicectl("stop " + shell_quote(m_folder.path())) == 0;
}

bool LocalService::kill_registrar()
{
    const pid_t group = std::atoi(read_file(m_folder.file("kamailio.pid")).c_str());
    return group > 1 && ::kill(-group, SIGKILL) == 0;
}

namespace {

int count_of(const std::string& command, const std::string& folder, const std::string& user)
{
    std::string output;
    if (LocalService::servicectl(command + " " + shell_quote(folder) + " " + shell_quote(user), &output) != 0)
        return -1;
    try {
        return std::stoi(output);
    } catch (const std::exception&) {
        return -1;
    }
}

} // namespace

int LocalService::contacts(const std::string& user) const
{
    return count_of("contacts", m_folder.path(), user);
}

int LocalService::subscriptions(const std::string& user) const
{
    return count_of("subscriptions", m_folder.path(), user);
}

bool LocalService::set_voicemail(const std::string& user, int new_count, int old_count)
{
    return servicectl("voicemail " + shell_quote(m_folder.path()) + " " + shell_quote(user) + " " +
               std::to_string(new_count) + " " + std::to_string(old_count)) == 0;
}

bool LocalService::set_version(const std::string& version, const std::string& user)
{
    return servicectl("version " + shell_quote(m_folder.path()) + " " + shell_quote(version) +
               (user.empty() ? "" : " " + shell_quote(user))) == 0;
}

bool LocalService::set_installer(const std::string& mode, std::size_t size, int pace_ms)
{
    return servicectl("installer " + shell_quote(m_folder.path()) + " " + shell_quote(mode) + " " +
               std::to_string(size) + " " + std::to_string(pace_ms)) == 0;
}

std::string LocalService::http_log() const
{
    return read_file(m_folder.file("logs/http.log"));
}

bool LocalService::set_faulty_reply(const std::string& mode)
{
    return servicectl("faulty " + shell_quote(m_folder.path()) + " " + shell_quote(mode)) == 0;
}

bool LocalService::stall(const std::string& path, int milliseconds)
{
    return servicectl("stall " + shell_quote(m_folder.path()) + " " + shell_quote(path) + " " +
               std::to_string(milliseconds)) == 0;
}

int LocalService::stalled_requests()
{
    std::string state;
    if (servicectl("state " + shell_quote(m_folder.path()), &state) != 0)
        return -1;
    const std::string key = "stalled_requests=";
    size_t at = state.find(key);
    return at == std::string::npos ? -1 : std::atoi(state.c_str() + at + key.size());
}

} // namespace test_support
