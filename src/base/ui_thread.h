#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <utility>

// The interface thread's message queue. Worker threads reach a window only through
// post (runs the window's handler on the interface thread, in posting order) and send
// (the same, waiting for the handler's result; inline when already on the interface
// thread). The interface thread is the thread that runs the default GLib main context;
// call ui_thread::init() on it before any worker starts. Delivery goes on, in posting
// order, inside any nested main loop a handler opens (a modal dialog, a menu), as it does
// in the outer loop.
namespace ui_thread {

using Message = unsigned;
using WParam = uintptr_t;
using LParam = intptr_t;
using Result = intptr_t;

// Something that receives posted messages: a window's message handler. A target
// unregisters itself on destruction; messages still queued for it are dropped.
class MessageTarget {
public:
    MessageTarget();
    virtual ~MessageTarget();
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    virtual Result handle_message(Message message, WParam wparam, LParam lparam) = 0;
    // A message whose payload is a text (post_text / send_text); 0 by default.
    virtual Result handle_text_message(Message, const std::string&) { return 0; }
};

// Marks the calling thread as the interface thread.
void init();
bool on_ui_thread();

// Marks the calling thread as one that must never wait for the interface thread (the SIP
// engine thread: the interface thread waits for it). A send from such a thread is refused
// at once (result 0) instead of waiting, so the two can never wait for each other.
void mark_never_waits();
bool never_waits();

void post(MessageTarget* target, Message message, WParam wparam = 0, LParam lparam = 0);
// Refused (0, nothing run) on a thread marked with mark_never_waits().
Result send(MessageTarget* target, Message message, WParam wparam = 0, LParam lparam = 0);

// The same for a message carrying a text: the queue owns the text until the handler has
// run, and frees it when the target is gone. No pointer travels in a parameter.
void post_text(MessageTarget* target, Message message, std::string text);
Result send_text(MessageTarget* target, Message message, std::string text);

// Runs a function on the interface thread in the same order as posted messages.
void invoke(std::function<void()> work);
// The same on behalf of a target: dropped when the target is gone by then.
void invoke_for(MessageTarget* target, std::function<void()> work);

// A target with no messages of its own: the key under which an object's invoke_for work
// (worker results) is dropped once the object is gone.
class InvokeTarget : public MessageTarget {
public:
    Result handle_message(Message, WParam, LParam) override { return 0; }
};

// How many run_on_worker threads are still running: the program's end must not tear down
// the libraries (the TLS library's exit handlers) under one of them.
int workers_running();
void worker_started();
void worker_ended();

// Runs `work` on a thread of its own, off the interface thread (a network look-up, a
// download), and hands its result to `done` on the interface thread through the queue;
// dropped when the target is gone by then. Nothing waits for the worker: it may outlive
// the loop.
template <typename Work, typename Done> void run_on_worker(MessageTarget* target, Work work, Done done)
{
    worker_started();
    std::thread([target, work = std::move(work), done = std::move(done)]() mutable {
        struct Ended {
            ~Ended() { worker_ended(); }
        } ended;
        auto result = work();
        invoke_for(target, [done = std::move(done), result = std::move(result)]() mutable { done(result); });
    }).detach();
}

// Runs every queued message now (the interface thread only); for tests.
void drain();

// The interface loop has ended: what is still queued is dropped, later posts are dropped
// too, and every send from another thread (waiting or later) returns 0 at once, so a
// worker blocked in a send can be joined. init() opens the queue again.
void stop();

} // namespace ui_thread
