#pragma once
#include <string>
#include <vector>

class CommandDispatcher;

// Links from outside the program for the dispatcher (a link given to the first start, or
// handed over by a later start), dispatched as such (CommandSource::Outside). One may
// come before the window can carry it out, while the skin is still loading: it waits, in
// arrival order, until the window is ready.
class PendingCommands {
public:
    explicit PendingCommands(CommandDispatcher& dispatcher) : m_dispatcher(dispatcher) { }

    // Dispatches the text now, or once the window is ready.
    void Dispatch(const std::string& text);
    // The window is ready: what waited is dispatched, in order, and later texts at once.
    void SetReady();

private:
    CommandDispatcher& m_dispatcher;
    std::vector<std::string> m_waiting;
    bool m_ready = false;
};
