#pragma once
#include <functional>

// The interface thread's main loop. Its exit code is the code given to quit(); SIGTERM and
// SIGINT end the loop with 0 as the Exit command does. Nested loops (modal dialogs, menus)
// run inside it on the same main context; a quit ends them too, so the loop returns
// whatever is open.
namespace main_loop {

// Makes SIGTERM and SIGINT end the loop (at once when it runs later); on the interface
// thread, once or more. Both are unblocked then: one the launcher held back while the
// program loaded is delivered now.
void handle_termination_signals();
// What ends the nested loops that may be open (the toolkit's modal windows and menus);
// after a quit it runs from the main context until the outer loop has returned.
void set_nested_loop_closer(std::function<void()> closer);
int run();
void quit(int exit_code);

} // namespace main_loop
