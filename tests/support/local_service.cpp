#include "support/local_service.h"

#include <cstdio>
#include <exception>
#include <sys/wait.h>

namespace test_support {

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

int LocalService::servicectl(const std::string& arguments, std::string* output)
{
    const std::string command = "KALVO_BUILD_DIR=" + quoted(KALVO_BINARY_DIR) + " " +
        quoted(std::string(KALVO_TESTS_DIR) + "/../service/servicectl") + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[512];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        text.append(buffer, got);
    const int status = ::pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    m_running =
        servicectl("start " + quoted(m_folder.path()) + " --address " + quoted(m_address), &m_output) == 0;
    return m_running;
}

bool LocalService::stop()
{
    m_running = false;
    return servicectl("stop " + quoted(m_folder.path())) == 0;
}

namespace {

int count_of(const std::string& command, const std::string& folder, const std::string& user)
{
    std::string output;
    if (LocalService::servicectl(command + " " + quoted(folder) + " " + quoted(user), &output) != 0)
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
    return servicectl("voicemail " + quoted(m_folder.path()) + " " + quoted(user) + " " +
               std::to_string(new_count) + " " + std::to_string(old_count)) == 0;
}

bool LocalService::set_version(const std::string& version, const std::string& user)
{
    return servicectl("version " + quoted(m_folder.path()) + " " + quoted(version) +
               (user.empty() ? "" : " " + quoted(user))) == 0;
}

} // namespace test_support
