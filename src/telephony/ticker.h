#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Calls a function about every period, on a thread of its own, while it is started.
// start and stop may be called from any thread, the function's own included; neither
// waits for the thread.
class Ticker {
public:
    Ticker(std::chrono::milliseconds period, std::function<void()> tick);
    ~Ticker(); // ends the thread (after a tick that is running)
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

    void start();
    void stop();
    bool running() const;

private:
    void loop();

    const std::chrono::milliseconds m_period;
    const std::function<void()> m_tick;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_quitting = false;
    std::thread m_thread; // started with the first start
};
