#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

// The one thread that owns the SIP cores. Work handed to it runs in order; between
// work it calls every registered tick function, every 20 ms, or every 2 ms while a
// transaction is pending (hurry), so responses are not held back by the idle period.
// Work or a tick that throws is logged and the thread goes on; a caller waiting in call()
// gets the exception.
class EngineThread {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kIdlePeriod{20};
    static constexpr std::chrono::milliseconds kBusyPeriod{1};
    static constexpr std::chrono::milliseconds kHurryFor{1500};

    EngineThread();
    ~EngineThread(); // finishes queued work, then stops the thread
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // The process-wide engine, started on first use.
    static EngineThread& get();

    bool on_engine_thread() const;

    // Runs work on the engine thread and waits for it; inline on the engine thread. What
    // the work throws is thrown here.
    template <typename F> auto call(F&& work) -> decltype(work())
    {
        if (on_engine_thread())
            return work();
        using R = decltype(work());
        if constexpr (std::is_void_v<R>) {
            run_and_wait([&] { work(); });
        } else {
            R result{};
            run_and_wait([&] { result = work(); });
            return result;
        }
    }

    // Queues work for the engine thread without waiting (also from the engine thread:
    // it then runs after the current work).
    void post(std::function<void()> work);

    // Tick functions run on the engine thread after each round of work.
    int add_tick(std::function<void()> tick);
    void remove_tick(int id);

    // Iterate at the busy period for a while (a request is on its way).
    void hurry();

private:
    void run_and_wait(const std::function<void()>& work);
    void loop();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    std::map<int, std::function<void()>> m_ticks;
    int m_next_tick = 1;
    Clock::time_point m_hurry_until{};
    bool m_stopping = false;
    std::thread m_thread;
};
