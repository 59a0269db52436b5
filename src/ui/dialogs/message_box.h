#pragma once
#include <functional>
#include <gtkmm/messagedialog.h>
#include <string>

// A modal message box with a fixed text and caption, as the program shows them. Returns the response
// (Gtk::RESPONSE_OK, Gtk::RESPONSE_CANCEL, ...). Display tests replace the box with a handler that records it
// and answers at once.
struct MessageBoxRequest {
    std::string text;
    std::string caption;
    Gtk::MessageType type = Gtk::MESSAGE_INFO;
    Gtk::ButtonsType buttons = Gtk::BUTTONS_OK;
};
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

int show_message_box(Gtk::Window* parent, const MessageBoxRequest& request);
// An empty handler restores the real boxes.
void set_message_box_handler(MessageBoxHandler handler);

// A box over the active window (the main window's boxes); the answer as above.
int message_box(
    const std::string& text, const std::string& title, Gtk::MessageType icon, Gtk::ButtonsType buttons);
