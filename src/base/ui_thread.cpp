#include "base/ui_thread.h"

#include <atomic>
#include <deque>
#include <future>
#include <glib.h>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace ui_thread {
namespace {

thread_local bool t_never_waits = false;

struct State {
    std::mutex mutex;
    std::deque<std::function<void()>> queue;
    std::unordered_set<MessageTarget*> targets;
    bool scheduled = false; // an idle source is on its way to run the queue's head
    bool stopped = false;
    std::thread::id ui_thread_id = std::this_thread::get_id();
};

State& state()
{
    static State* s = new State(); // outlives every static window during exit
    return *s;
}

gboolean run_next(gpointer);

// With the mutex held: asks the main context for the next run when work is waiting.
bool schedule_locked(State& s)
{
    if (s.scheduled || s.queue.empty())
        return false;
    s.scheduled = true;
    return true;
}

void add_source()
{
    g_idle_add_full(G_PRIORITY_DEFAULT, run_next, nullptr, nullptr);
}

// Runs what is queued, in order. Before each item runs, the next run is scheduled while
// more is waiting: an item that opens a nested main loop (a modal dialog, a menu) must
// not hold back what was queued after it; that loop runs the source like the outer one.
gboolean run_next(gpointer)
{
    State& s = state();
    {
        std::lock_guard guard(s.mutex);
        s.scheduled = false;
    }
    for (;;) {
        std::function<void()> work;
        bool more = false;
        {
            std::lock_guard guard(s.mutex);
            if (s.queue.empty())
                return G_SOURCE_REMOVE;
            work = std::move(s.queue.front());
            s.queue.pop_front();
            more = schedule_locked(s);
        }
        if (more)
            add_source();
        work();
    }
}

void enqueue(std::function<void()> work)
{
    State& s = state();
    bool schedule = false;
    {
        std::lock_guard guard(s.mutex);
        if (s.stopped)
            return; // destroying `work` answers a waiting send with 0
        s.queue.push_back(std::move(work));
        schedule = schedule_locked(s);
    }
    if (schedule)
        add_source();
}

bool target_alive(MessageTarget* target)
{
    State& s = state();
    std::lock_guard guard(s.mutex);
    return s.targets.contains(target);
}

} // namespace

MessageTarget::MessageTarget()
{
    State& s = state();
    std::lock_guard guard(s.mutex);
    s.targets.insert(this);
}

MessageTarget::~MessageTarget()
{
    State& s = state();
    std::lock_guard guard(s.mutex);
    s.targets.erase(this);
}

void init()
{
    State& s = state();
    std::lock_guard guard(s.mutex);
    s.ui_thread_id = std::this_thread::get_id();
    s.stopped = false;
}

void mark_never_waits()
{
    t_never_waits = true;
}

bool never_waits()
{
    return t_never_waits;
}

bool on_ui_thread()
{
    State& s = state();
    std::lock_guard guard(s.mutex);
    return s.ui_thread_id == std::this_thread::get_id();
}

void drain()
{
    State& s = state();
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard guard(s.mutex);
            if (s.queue.empty())
                return;
            work = std::move(s.queue.front());
            s.queue.pop_front();
        }
        work();
    }
}

void stop()
{
    State& s = state();
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard guard(s.mutex);
        s.stopped = true;
        dropped.swap(s.queue);
    }
    // Destroyed outside the lock: each waiting send's promise breaks, and its sender
    // returns 0.
}

void invoke(std::function<void()> work)
{
    enqueue(std::move(work));
}

void invoke_for(MessageTarget* target, std::function<void()> work)
{
    enqueue([target, work = std::move(work)] {
        if (target_alive(target))
            work();
    });
}

void post(MessageTarget* target, Message message, WParam wparam, LParam lparam)
{
    enqueue([target, message, wparam, lparam] {
        if (target_alive(target))
            target->handle_message(message, wparam, lparam);
    });
}

namespace {

// Runs `handle` on the interface thread and waits for its result (inline when already
// there); 0 when the interface loop has ended before answering.
Result run_and_wait(std::function<Result()> handle)
{
    if (on_ui_thread())
        return handle();
    if (t_never_waits)
        return 0;
    auto promise = std::make_shared<std::promise<Result>>();
    auto answer = promise->get_future();
    enqueue([promise, handle = std::move(handle)] { promise->set_value(handle()); });
    try {
        return answer.get();
    } catch (const std::future_error&) {
        return 0;
    }
}

} // namespace

Result send(MessageTarget* target, Message message, WParam wparam, LParam lparam)
{
    return run_and_wait(
        [=] { return target_alive(target) ? target->handle_message(message, wparam, lparam) : 0; });
}

void post_text(MessageTarget* target, Message message, std::string text)
{
    enqueue([target, message, text = std::move(text)] {
        if (target_alive(target))
            target->handle_text_message(message, text);
    });
}

Result send_text(MessageTarget* target, Message message, std::string text)
{
    return run_and_wait([target, message, text = std::move(text)] {
        return target_alive(target) ? target->handle_text_message(message, text) : 0;
    });
}

namespace {
std::atomic<int> g_workers{0};
}

int workers_running()
{
    return g_workers.load();
}

void worker_started()
{
    ++g_workers;
}

void worker_ended()
{
    --g_workers;
}

} // namespace ui_thread
