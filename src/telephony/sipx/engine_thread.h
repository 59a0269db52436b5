#pragma once
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// What a tick needs before the next one: how soon at the latest, and the descriptors
// whose input should bring it sooner (the SIP sockets).
struct TickNeeds {
    std::chrono::milliseconds period;
    std::vector<int> wake_on;
};

// The one thread that owns the SIP cores. Work handed to it runs in order; between
// work it calls every registered tick function as often as the most urgent one asks:
// every 100 ms during a call, every 500 ms when nothing is pending (input on a watched
// socket ticks at once in both), every 20 ms when there is no socket to watch, or every
// 1 ms while a request is on its way (hurry), so answers are not held back.
// Work or a tick that throws is logged and the thread goes on; a caller waiting in call()
// gets the exception.
class EngineThread {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kIdlePeriod{20};
    // The media of a call runs on the media library's own thread; what it reports (the
    // far end's tones, stream statistics) is handed on within a tenth of a second.
    static constexpr std::chrono::milliseconds kCallPeriod{100};
    // The SIP timer T1: between calls a retransmission is never more than T1 late.
    static constexpr std::chrono::milliseconds kQuietPeriod{500};
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
    using Tick = std::function<TickNeeds()>;
    int add_tick(Tick tick);
    void remove_tick(int id);

    // Iterate at the busy period for a while (a request is on its way).
    void hurry();

private:
    void run_and_wait(const std::function<void()>& work);
    void loop();
    void wake();
    // Sleeps until the deadline, work, or input on a descriptor; true on input.
    bool wait(Clock::time_point deadline, const std::vector<int>& descriptors);

    mutable std::mutex m_mutex;
    int m_wake_fd = -1; // an eventfd: work was posted, or the thread is to stop
    std::deque<std::function<void()>> m_work;
    std::map<int, Tick> m_ticks;
    int m_next_tick = 1;
    Clock::time_point m_hurry_until{};
    bool m_stopping = false;
    std::thread m_thread;
};
