#pragma once

// The interface thread's main loop. Its exit code is the code given to quit(); SIGTERM and
// SIGINT end the loop with 0 as the Exit command does. Nested loops (modal dialogs, menus)
// run inside it on the same main context.
namespace main_loop {

// Makes SIGTERM and SIGINT end the loop; call once on the interface thread.
void handle_termination_signals();
int run();
void quit(int exit_code);

} // namespace main_loop
