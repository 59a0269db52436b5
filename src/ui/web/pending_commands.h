#pragma once
#include <deque>
#include <string>
#include <utility>

#include "ui/web/command_dispatcher.h"

// Command texts for the dispatcher (from the program's pages, or links from outside, each
// dispatched with its source), carried out one after another in arrival order. A text waits while the window
// cannot carry it out yet (a link given to the first start, or handed over by a later start while the skin is
// still loading) and while an earlier command is still running: a command that opens a modal window or a menu
// finishes before the next one starts, even though the queue delivers the next one inside that window's loop.
// Each text carried out leaves a line in kalvo.log (password masked).
class PendingCommands {
public:
    explicit PendingCommands(CommandDispatcher& dispatcher) : m_dispatcher(dispatcher) { }

    // Dispatches the text now, or after what is waiting or running.
    void Dispatch(const std::string& text, CommandSource source);
    // The window is ready: what waited is dispatched, in order, and later texts at once.
    void SetReady();

private:
    void RunWaiting();

    CommandDispatcher& m_dispatcher;
    std::deque<std::pair<std::string, CommandSource>> m_waiting;
    bool m_ready = false;
    bool m_running = false;
};
