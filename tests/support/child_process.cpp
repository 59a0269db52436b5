#include "support/child_process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace test_support {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& output_file)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!output_file.empty()) {
        ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(
            &actions, 1, output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    if (::posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        m_pid = -1;
    ::posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess()
{
    terminate(1000);
    if (!m_exit_code && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        wait_for_exit(2000);
    }
}

bool ChildProcess::running()
{
    return m_pid > 0 && !wait_for_exit(0);
}

std::optional<int> ChildProcess::wait_for_exit(int timeout_ms)
{
    if (m_exit_code || m_pid <= 0)
        return m_exit_code;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        int status = 0;
        pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return m_exit_code;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::optional<int> ChildProcess::terminate(int timeout_ms)
{
    if (!m_exit_code && m_pid > 0)
        ::kill(m_pid, SIGTERM);
    return wait_for_exit(timeout_ms);
}

std::string shell_quote(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int run_command(const std::string& command, std::string* output)
{
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
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

std::vector<pid_t> children_named(pid_t parent, const std::string& name)
{
    std::string listed;
    run_command(
        "pgrep -P " + std::to_string(parent) + (name.empty() ? "" : " -x " + shell_quote(name)), &listed);
    std::vector<pid_t> children;
    std::istringstream lines(listed);
    for (long pid = 0; lines >> pid;)
        children.push_back(static_cast<pid_t>(pid));
    return children;
}

pid_t first_child_named(pid_t parent, const std::string& name)
{
    std::vector<pid_t> children = children_named(parent, name);
    return children.empty() ? 0 : children.front();
}

std::string process_report(pid_t root)
{
    std::string pids = std::to_string(root);
    for (pid_t child : children_named(root, ""))
        pids += " " + std::to_string(child);
    // A line per thread: process, thread, name, state, where it waits in the kernel and
    // its system call's number (7 poll, 72 fcntl, 73 flock, 74 fsync, 202 futex, ...).
    std::string report;
    run_command("for p in " + pids +
            "; do for t in /proc/$p/task/*; do echo \"$p ${t##*/} $(cat $t/comm):"
            " $(sed -n 's/.*) \\(.\\).*/\\1/p' $t/stat) $(cat $t/wchan) $(cut -d' ' -f1 $t/syscall)\"; "
            "done; done 2>/dev/null",
        &report);
    return "\nthe program's processes:\n" + report;
}

bool wait_for_file(const std::string& path, int timeout_ms)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    struct stat st { };
    while (::stat(path.c_str(), &st) != 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace test_support
