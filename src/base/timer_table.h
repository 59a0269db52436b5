#pragma once
#include <functional>
#include <map>

// A window's timers by id over GLib timeouts on the interface thread, with the
// semantics of window timers: a timer repeats until killed, and arming an id that is
// already armed replaces it (the period starts again).
class TimerTable {
public:
    using Handler = std::function<void(unsigned id)>;

    explicit TimerTable(Handler handler);
    ~TimerTable();
    TimerTable(const TimerTable&) = delete;
    TimerTable& operator=(const TimerTable&) = delete;

    void set_timer(unsigned id, unsigned milliseconds);
    void kill_timer(unsigned id);
    bool is_armed(unsigned id) const;
    void kill_all();

private:
    struct Armed;
    static int on_expiry(void* data);

    Handler m_handler;
    std::map<unsigned, Armed*> m_timers;
};
