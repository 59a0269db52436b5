#pragma once
// Drives the test display's windows and keyboard with xdotool, as a person would.
#include <string>

namespace test_support {

// xdotool with the arguments; its output ("" when a search matches nothing).
std::string xdotool(const std::string& arguments);
// Types into the window that has the keyboard.
void type_text(const std::string& text);
// The id of the first shown window with exactly that title, waiting for it to appear;
// empty when none came.
std::string wait_for_window(const std::string& title, int timeout_ms = 20000);
bool wait_for_window_gone(const std::string& title, int timeout_ms = 10000);
// Gives a window the keyboard and presses keys in it.
void press_in(const std::string& window, const std::string& keys);
// Answers the shown window with that title (a message box) with the keys, again while it
// stays open: a window that has just been mapped may not take the keyboard yet. False when
// it never closed.
bool answer_window(const std::string& title, const std::string& keys);

} // namespace test_support
