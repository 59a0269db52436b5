#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/single_instance.h"
#include "base/ui_thread.h"

namespace single_instance {

// The first instance's end of the socket. It never waits for the interface thread: each
// command line a later start hands over is posted to the window as WM_COPYDATA once
// deliver_to() named one, and waits in arrival order until then.
class Server {
public:
    // Listens from construction (right after the lock is taken, before any window exists).
    Server();
    // Carries on from the launcher: its socket, and first what arrived while the program
    // loaded.
    explicit Server(Launch launch);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    bool listening() const { return m_listen_fd >= 0; }

    // The window that carries command lines out; what arrived before is posted now, in
    // arrival order. Any thread.
    void deliver_to(ui_thread::MessageTarget* window);

private:
    void hand_over(Forwarded forwarded);

    int m_listen_fd = -1;
    std::mutex m_mutex;
    ui_thread::MessageTarget* m_window = nullptr;
    std::vector<std::string> m_waiting;
    std::unique_ptr<Listener> m_listener;
};

} // namespace single_instance
