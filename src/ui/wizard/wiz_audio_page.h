#pragma once
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/comboboxtext.h>

#include "ui/web/html_label.h"

class COptionsWizard;

// Wizard page 2: the microphone, speaker and ring devices of the SIP stack.
class CWizAudioPage : public Gtk::Box {
public:
    explicit CWizAudioPage(COptionsWizard& wizard);

    void initialise();
    void on_activate();
    // Next pressed: stores the chosen devices so that the echo test uses them.
    bool on_leave();

    Gtk::ComboBoxText& microphone_list() { return m_microphone; }
    Gtk::ComboBoxText& speaker_list() { return m_speaker; }
    Gtk::ComboBoxText& ring_list() { return m_ring; }
    HtmlLabel& header_label() { return m_header; }

private:
    COptionsWizard& m_wizard;
    HtmlLabel m_header; // 1024
    Gtk::ComboBoxText m_microphone; // 1012
    Gtk::ComboBoxText m_speaker; // 1013
    Gtk::ComboBoxText m_ring; // 1014
    // Shown as on the original pages; they have no action yet (see the report).
    Gtk::Button m_refresh; // 1027
    Gtk::Button m_play_output; // 1046
    Gtk::Button m_play_ring; // 1047
};
