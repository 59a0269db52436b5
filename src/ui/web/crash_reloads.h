#pragma once
#include <chrono>
#include <deque>

// Whether a web element whose page the web engine lost (its web process ended, or a load
// never finished) should open it again: yes, unless it did so kMaxReloads times within the
// last kWindow already. A page that brings its web process down each time it loads would
// otherwise reload for ever.
class CrashReloads {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kMaxReloads = 3;
    static constexpr Clock::duration kWindow = std::chrono::minutes(1);

    // Counts the reload when it is allowed.
    bool Allow(Clock::time_point now);

private:
    std::deque<Clock::time_point> m_recent; // the reloads within the window, oldest first
};
