#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The interface thread's message queue. Worker threads reach a window only through
// post (runs the window's handler on the interface thread, in posting order) and send
// (the same, waiting for the handler's result; inline when already on the interface
// thread). The interface thread is the thread that runs the default GLib main context;
// call ui_thread::init() on it before any worker starts.
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

// Runs every queued message now (the interface thread only); for tests and the
// shutdown path.
void drain();

} // namespace ui_thread
