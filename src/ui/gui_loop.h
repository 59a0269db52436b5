#pragma once

// The interface thread's toolkit: GTK, gtkmm and the embedded resources.
namespace gui_loop {

// Initialises GTK on the calling thread, which becomes the interface thread, and makes
// SIGTERM and SIGINT end the main loop. False when no display can be opened.
bool init(int& argc, char**& argv);

} // namespace gui_loop
