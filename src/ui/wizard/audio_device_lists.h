#pragma once
#include <gtkmm/comboboxtext.h>
#include <string>
#include <vector>

#include "settings/app_settings.h"

// The SIP stack's audio device names, read through the call manager's stack handle, in
// index order (empty without a running stack).
std::vector<std::string> input_device_names();
std::vector<std::string> output_device_names();

// Empties a list, fills it with the names and selects the stored index (the first entry
// when the index is not one of them).
void fill_device_list(Gtk::ComboBoxText& list, const std::vector<std::string>& names, int stored_index);
// The microphone list with the input devices, the speaker and ring lists with the output
// devices, each selecting its stored index.
void fill_device_lists(Gtk::ComboBoxText& microphone, Gtk::ComboBoxText& speaker, Gtk::ComboBoxText& ring,
    const AppSettings& settings);
// The selected index, or `unchanged` when nothing is selected (an empty list).
int selected_device(const Gtk::ComboBoxText& list, int unchanged);
