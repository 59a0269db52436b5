#include "support/local_service.h"

#include <cstdio>
#include <cstdlib>
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
    m_running =
        servicectl("start " + quoted(m_folder.path()) + " --address " + quoted(address), &m_output) == 0;
}

LocalService::~LocalService()
{
    servicectl("stop " + quoted(m_folder.path()));
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

bool LocalService::stall(const std::string& path, int milliseconds)
{
    return servicectl("stall " + quoted(m_folder.path()) + " " + quoted(path) + " " +
               std::to_string(milliseconds)) == 0;
}

int LocalService::stalled_requests()
{
    std::string state;
    if (servicectl("state " + quoted(m_folder.path()), &state) != 0)
        return -1;
    const std::string key = "stalled_requests=";
    size_t at = state.find(key);
    return at == std::string::npos ? -1 : std::atoi(state.c_str() + at + key.size());
}

} // namespace test_support
