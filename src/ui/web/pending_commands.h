#pragma once
#include <string>
#include <vector>

class CommandDispatcher;

// Command texts for the dispatcher that may come before the window can carry them out (a
// link given to the first start, or handed over by a later start while the skin is still
// loading): they wait, in arrival order, until the window is ready.
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
