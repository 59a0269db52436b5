#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace Gtk {
class Widget;
}

namespace test_support {

// Initialises GTK and the embedded resources once per process; false when there is no
// display (tests then skip). The process keeps its connection to the display, so the X
// server never resets under a test that starts programs: it resets whenever its last
// client leaves (a killed or ended program), and a program connecting meanwhile cannot
// open the display or loses what it made on it.
bool display_available();

// The same two under the names the web and information-window tests use.
inline bool display_ready()
{
    return display_available();
}

// Runs the main loop until the condition holds or the time is up; the condition's value.
bool run_loop_until(const std::function<bool()>& condition,
    std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
inline bool wait_for(const std::function<bool()>& condition, int milliseconds = 3000)
{
    return run_loop_until(condition, std::chrono::milliseconds(milliseconds));
}
// Runs the main loop for a while.
void run_loop_for(std::chrono::milliseconds time);

// Every widget below a widget, depth first, the widget itself first.
std::vector<Gtk::Widget*> descendants(Gtk::Widget& root);
template <typename T> std::vector<T*> descendants_of_type(Gtk::Widget& root)
{
    std::vector<T*> found;
    for (Gtk::Widget* widget : descendants(root)) {
        if (auto* typed = dynamic_cast<T*>(widget))
            found.push_back(typed);
    }
    return found;
}

// Every label text and check-box label inside a widget, in widget order.
std::vector<std::string> widget_texts(Gtk::Widget& root);

// Runs `action` inside the next modal loop (a dialog's run()), on the interface thread.
void when_modal(std::function<void()> action);

// Clicks the first mouse button at a point of the screen (xdotool).
bool click_at(int x, int y);
// Clicks the middle of a shown widget.
bool click_on(Gtk::Widget& widget);

} // namespace test_support
