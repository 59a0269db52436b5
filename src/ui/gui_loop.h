#pragma once

// The interface thread's main loop (GTK). The loop's exit code is the code given to
// quit(); SIGTERM and SIGINT end the loop with 0 as the Exit command does.
namespace gui_loop {

// Initialises GTK on the calling thread, which becomes the interface thread.
// False when no display can be opened.
bool init(int& argc, char**& argv);
int run();
void quit(int exit_code);

} // namespace gui_loop
