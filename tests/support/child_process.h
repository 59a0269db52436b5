#pragma once
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace test_support {

// A program started by a test, with the test's environment; ended by process id when the
// object goes (SIGTERM, then SIGKILL after a second). With `output_file`, its standard
// output and error go to that file and its standard input is empty.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv, const std::string& output_file = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    bool running();
    // The exit code (128 + signal when killed by one), or nullopt when still running.
    std::optional<int> wait_for_exit(int timeout_ms);
    std::optional<int> terminate(int timeout_ms = 5000);

private:
    pid_t m_pid = -1;
    std::optional<int> m_exit_code;
};

// A text as one word of a shell command line.
std::string shell_quote(const std::string& text);

// Runs a shell command to its end; its exit code (-1 when it could not run or was killed),
// with its standard output and error in `output` when given.
int run_command(const std::string& command, std::string* output = nullptr);

// The children of a process with this command name (as /proc shows it, at most 15
// characters), in pid order; all its children for an empty name.
std::vector<pid_t> children_named(pid_t parent, const std::string& name);
// The first of them, or 0 while there is none.
pid_t first_child_named(pid_t parent, const std::string& name);

// What a process and its children are doing, thread by thread (state, where in the kernel
// each waits, the system call it is in): for the message of a test whose program stalled.
std::string process_report(pid_t root);

// Waits until a file exists; false on time-out.
bool wait_for_file(const std::string& path, int timeout_ms);

} // namespace test_support
