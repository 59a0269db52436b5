#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

typedef struct ssl_ctx_st SSL_CTX;

// A second https listener that answers every request wrongly, in the way a test chose, so
// a program whose secure host points at it meets a misbehaving service:
//   "short"  a 200 whose body stops at half the announced length, then the connection closes
//   "crlf"   a 200 whose head ends its lines with lone CRs instead of CR LF
//   "huge"   a 200 announcing and sending a 50 MiB body
//   "stall"  nothing at all, until the client gives up
//   "500", "404"  that error status with a small page
// One connection is answered at a time (a stalled one holds the next back, as a stuck
// server would). Each request is logged on standard output with the mode it got.
class FaultyReplies {
public:
    static bool known_mode(const std::string& mode);

    FaultyReplies() = default;
    ~FaultyReplies();
    FaultyReplies(const FaultyReplies&) = delete;
    FaultyReplies& operator=(const FaultyReplies&) = delete;

    // Listens on the address and port with the certificate; false with the reason.
    bool listen(const std::string& address, int port, const std::string& certificate, const std::string& key,
        std::string* error);
    // From now on (an unknown mode is not taken; see known_mode).
    void set_mode(const std::string& mode);
    // Ends the answer under way and the listener.
    void stop();

private:
    void serve();
    void answer(int client);
    // Waits until the client closes or the listener stops (at most two minutes).
    void wait_for_client_to_go(int client);

    SSL_CTX* m_context = nullptr;
    int m_listen_fd = -1;
    int m_wake[2] = {-1, -1};
    std::mutex m_mutex;
    std::string m_mode = "404";
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
