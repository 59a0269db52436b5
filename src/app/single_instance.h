#pragma once
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/ui_thread.h"

// At most one Kalvo per user. The first start holds an flock on
// $XDG_RUNTIME_DIR/kalvo/instance.lock for its whole life; a later start finds the lock
// taken, connects to instance.sock beside it, asks "UWM_IS_ME" and, on the right answer,
// hands over its command line. Every step of the second start gives up after 200 ms.
namespace single_instance {

enum class Lock {
    Taken, // this process is the first instance
    HeldElsewhere, // another instance runs: forward the command line
    Unusable, // no private folder for the lock (the reason is in the error text)
};

// Tries to become the first instance.
Lock acquire(std::string& error);

// Second start: forwards the command line to the running instance. True when the running
// instance acknowledged the text.
bool forward(const std::string& command_line);

// The first instance's end of the socket, listening from construction (right after the
// lock is taken, before any window exists). It answers "UWM_IS_ME" itself, acknowledges a
// command line as soon as it is read, and never waits for the interface thread: the text
// is posted to the window as WM_COPYDATA once deliver_to() named one, and waits in
// arrival order until then.
class Server {
public:
    Server();
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    bool listening() const { return m_listen_fd >= 0; }

    // The window that carries command lines out; what arrived before is posted now, in
    // arrival order. Any thread.
    void deliver_to(ui_thread::MessageTarget* window);

private:
    void serve();
    void answer(int client);
    void hand_over(std::string text);

    int m_listen_fd = -1;
    int m_wake_fd[2] = {-1, -1};
    std::mutex m_mutex;
    ui_thread::MessageTarget* m_window = nullptr;
    std::vector<std::string> m_waiting;
    std::thread m_thread;
};

// Longest command line a second start may hand over (the command buffer's size); a longer
// one is refused, and the running window only comes forward.
inline constexpr size_t kMaxForwardedBytes = 8191;

} // namespace single_instance
