#include "telephony/sipx/engine_thread.h"

#include <exception>
#include <future>
#include <vector>

#include "base/descriptors.h"
#include "base/ui_thread.h"
#include "log/log_file.h"

namespace {

// Runs one piece of engine work; what it throws is logged and goes no further, so the
// engine keeps running. Returns the exception for a caller that waits.
std::exception_ptr run_guarded(const std::function<void()>& work, const char* what)
{
    try {
        work();
        return nullptr;
    } catch (const std::exception& error) {
        log_file::write_line(std::string("SIPX - engine ") + what + " failed: " + error.what());
        return std::current_exception();
    } catch (...) {
        log_file::write_line(std::string("SIPX - engine ") + what + " failed with an unknown exception");
        return std::current_exception();
    }
}

} // namespace

EngineThread::EngineThread() : m_thread([this] { loop(); }) { }

EngineThread::~EngineThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

EngineThread& EngineThread::get()
{
    static EngineThread engine;
    return engine;
}

bool EngineThread::on_engine_thread() const
{
    return std::this_thread::get_id() == m_thread.get_id();
}

void EngineThread::run_and_wait(const std::function<void()>& work)
{
    std::promise<void> done;
    post([&] {
        if (std::exception_ptr failure = run_guarded(work, "task"))
            done.set_exception(failure);
        else
            done.set_value();
    });
    done.get_future().get(); // rethrows the task's exception here, in the caller
}

void EngineThread::post(std::function<void()> work)
{
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back(std::move(work));
    }
    m_wake.notify_all();
}

int EngineThread::add_tick(std::function<void()> tick)
{
    std::lock_guard lock(m_mutex);
    int id = m_next_tick++;
    m_ticks.emplace(id, std::move(tick));
    return id;
}

void EngineThread::remove_tick(int id)
{
    std::lock_guard lock(m_mutex);
    m_ticks.erase(id);
}

void EngineThread::hurry()
{
    std::lock_guard lock(m_mutex);
    m_hurry_until = Clock::now() + kHurryFor;
}

void EngineThread::loop()
{
    // The interface thread waits for this one; this one never waits for it.
    ui_thread::mark_never_waits();
    Clock::time_point next_tick = Clock::now();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait_until(lock, next_tick, [this] { return m_stopping || !m_work.empty(); });
        while (!m_work.empty()) {
            auto work = std::move(m_work.front());
            m_work.pop_front();
            lock.unlock();
            run_guarded(work, "task");
            // The SIP library opens sockets without close-on-exec: none may reach the
            // processes the program starts (the web engine's).
            descriptors::close_all_on_exec();
            lock.lock();
        }
        if (m_stopping)
            return;
        if (Clock::now() < next_tick)
            continue;
        // Copy the ticks: one may add or remove ticks while it runs.
        std::vector<std::function<void()>> ticks;
        for (auto& [id, tick] : m_ticks)
            ticks.push_back(tick);
        lock.unlock();
        for (auto& tick : ticks)
            run_guarded(tick, "tick");
        descriptors::close_all_on_exec();
        lock.lock();
        auto now = Clock::now();
        next_tick = now + (now < m_hurry_until ? kBusyPeriod : kIdlePeriod);
    }
}
