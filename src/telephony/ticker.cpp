#include "telephony/ticker.h"

Ticker::Ticker(std::chrono::milliseconds period, std::function<void()> tick)
    : m_period(period), m_tick(std::move(tick))
{
}

Ticker::~Ticker()
{
    {
        std::lock_guard lock(m_mutex);
        m_quitting = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Ticker::start()
{
    std::lock_guard lock(m_mutex);
    m_running = true;
    if (!m_thread.joinable())
        m_thread = std::thread([this] { loop(); });
    m_wake.notify_all();
}

void Ticker::stop()
{
    std::lock_guard lock(m_mutex);
    m_running = false;
    m_wake.notify_all();
}

bool Ticker::running() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

void Ticker::loop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_running || m_quitting; });
        // One period after the start, then every period; a stop meanwhile skips the tick.
        if (m_wake.wait_for(lock, m_period, [this] { return !m_running || m_quitting; })) {
            if (m_quitting)
                return;
            continue;
        }
        lock.unlock();
        m_tick();
        lock.lock();
        if (m_quitting)
            return;
    }
}
