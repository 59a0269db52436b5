#include "telephony/sipx/engine_thread.h"

#include <algorithm>
#include <exception>
#include <future>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
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

EngineThread::EngineThread()
    : m_wake_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_thread([this] { loop(); })
{
}

EngineThread::~EngineThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    wake();
    if (m_thread.joinable())
        m_thread.join();
    if (m_wake_fd >= 0)
        ::close(m_wake_fd);
}

void EngineThread::wake()
{
    uint64_t one = 1;
    if (m_wake_fd >= 0)
        (void)!::write(m_wake_fd, &one, sizeof one);
}

bool EngineThread::wait(Clock::time_point deadline, const std::vector<int>& descriptors)
{
    std::vector<pollfd> watched{{m_wake_fd, POLLIN, 0}};
    for (int fd : descriptors)
        watched.push_back({fd, POLLIN, 0});
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    int ready = ::poll(watched.data(), watched.size(), static_cast<int>(std::max<long long>(left, 0)));
    if (ready <= 0)
        return false;
    if (watched[0].revents & POLLIN) {
        uint64_t count = 0;
        (void)!::read(m_wake_fd, &count, sizeof count);
    }
    // Input, an error or a closed descriptor: the next tick reads it, or finds it gone.
    return std::any_of(watched.begin() + 1, watched.end(), [](const pollfd& p) { return p.revents != 0; });
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
    wake();
}

int EngineThread::add_tick(Tick tick)
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
    ::pthread_setname_np(::pthread_self(), "sip-engine");
    Clock::time_point next_tick = Clock::now();
    Clock::time_point last_tick{};
    std::vector<int> wake_on;
    std::unique_lock lock(m_mutex);
    for (;;) {
        bool worked = !m_work.empty();
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
        // A request was just handed over: its answer is read without waiting a period.
        if (worked && Clock::now() < m_hurry_until)
            next_tick = std::min(next_tick, Clock::now());
        if (Clock::now() < next_tick) {
            lock.unlock();
            // Input ticks at once, but not sooner than an idle period after the last tick,
            // and the descriptors are not watched again until then: a socket the stack
            // leaves unread must not spin this thread.
            if (wait(next_tick, wake_on)) {
                next_tick = std::min(next_tick, last_tick + kIdlePeriod);
                wake_on.clear();
            }
            lock.lock();
            continue;
        }
        // Copy the ticks: one may add or remove ticks while it runs.
        std::vector<Tick> ticks;
        for (auto& [id, tick] : m_ticks)
            ticks.push_back(tick);
        lock.unlock();
        auto period = kQuietPeriod;
        wake_on.clear();
        for (auto& tick : ticks) {
            TickNeeds needs{kIdlePeriod, {}};
            run_guarded([&] { needs = tick(); }, "tick");
            period = std::min(period, needs.period);
            wake_on.insert(wake_on.end(), needs.wake_on.begin(), needs.wake_on.end());
        }
        descriptors::close_all_on_exec();
        lock.lock();
        last_tick = Clock::now();
        next_tick = last_tick + (last_tick < m_hurry_until ? kBusyPeriod : period);
    }
}
