#pragma once
#include <atomic>
#include <string>
#include <thread>

#include "base/ui_thread.h"

// At most one Kalvo per user. The first start holds an flock on
// $XDG_RUNTIME_DIR/kalvo/instance.lock for its whole life; a later start finds the lock
// taken, connects to instance.sock beside it, asks "UWM_IS_ME" and, on the right answer,
// hands over its command line. Every step of the second start gives up after 200 ms.
namespace single_instance {

// Tries to become the first instance. True: this process holds the lock.
bool acquire();

// Second start: forwards the command line to the running instance. True when a running
// window answered and took the text.
bool forward(const std::string& command_line);

// The first instance's end of the socket. It answers "UWM_IS_ME" through the main
// window's handler on the interface thread and hands a forwarded command line to the
// window as WM_COPYDATA with the text.
class Server {
public:
    explicit Server(ui_thread::MessageTarget* window);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    bool listening() const { return m_listen_fd >= 0; }

private:
    void serve();
    void answer(int client);

    ui_thread::MessageTarget* m_window;
    int m_listen_fd = -1;
    int m_wake_fd[2] = {-1, -1};
    std::thread m_thread;
};

// Longest command line a second start may hand over (the command buffer's size); a longer
// one is refused, and the running window only comes forward.
inline constexpr size_t kMaxForwardedBytes = 8191;

} // namespace single_instance
