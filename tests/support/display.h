#pragma once
#include <gtkmm.h>
#include <string>
#include <vector>

namespace test_support {

// Initialises GTK and the program's resources once per process; false without a display.
bool init_display();

// Every label text and check-box label inside a widget, in widget order.
std::vector<std::string> widget_texts(Gtk::Widget& root);

// Runs `action` inside the next modal loop (a dialog's run()), on the interface thread.
void when_modal(std::function<void()> action);

} // namespace test_support
