#pragma once
#include <gtkmm/messagedialog.h>

#include <string>

// A modal message box over the active window with the given text, title, icon and
// buttons; the answer (Gtk::RESPONSE_YES, _NO, _OK ...).
int message_box(const std::string& text, const std::string& title, Gtk::MessageType icon, Gtk::ButtonsType buttons);
