#pragma once
#include <functional>
#include <string>
#include <thread>
#include <vector>

// At most one Kalvo per user. The first start holds an flock on
// $XDG_RUNTIME_DIR/kalvo/instance.lock for its whole life; a later start finds the lock
// taken, connects to instance.sock beside it, asks "UWM_IS_ME" and, on the right answer,
// hands over its command line. Every step of the second start gives up after 200 ms.
//
// Nothing here needs more than the C library: the launcher answers later starts with it
// while the program's libraries load (app/instance_server.h carries on from there).
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

// Longest command line a second start may hand over (the command buffer's size); a longer
// one is refused, and the running window only comes forward.
inline constexpr size_t kMaxForwardedBytes = 8191;

// What one later start handed over: its command line, or, when it was refused for its
// length, an empty text and that length.
struct Forwarded {
    std::string text;
    size_t refused_length = 0;
};

// The first instance's listening socket beside the lock (a stale one is replaced); -1 with
// the reason in `error`. stop_listening() closes it and removes the socket file.
int listen_socket(std::string& error);
void stop_listening(int listen_fd);

// Answers later starts on a listening socket from a thread of its own, from construction
// until destruction: "UWM_IS_ME" is answered and each command line acknowledged as soon
// as it is read, then given to the sink (on that thread). The socket stays open.
class Listener {
public:
    using Sink = std::function<void(Forwarded)>;
    Listener(int listen_fd, Sink sink);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

private:
    void serve();
    void answer(int client);

    int m_listen_fd;
    Sink m_sink;
    int m_wake_fd[2] = {-1, -1};
    std::thread m_thread;
};

// What the launcher did before the program was loaded: the socket it listened on (or why
// it could not) and the command lines later starts handed over meanwhile, in arrival order.
struct Launch {
    int listen_fd = -1;
    std::string listen_error;
    std::vector<Forwarded> arrived;
};

} // namespace single_instance
