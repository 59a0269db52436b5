#include "ui/wizard/wiz_audio_page.h"

#include <gtkmm/grid.h>
#include <gtkmm/label.h>

#include "settings/app_settings.h"
#include "ui/wizard/audio_device_lists.h"
#include "ui/wizard/options_wizard.h"
#include "ui/wizard/wizard_texts.h"

CWizAudioPage::CWizAudioPage(COptionsWizard& wizard)
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 6), m_wizard(wizard), m_refresh("Refresh devices"),
      m_play_output("Play sample sound"), m_play_ring("Play sample sound")
{
    auto* grid = Gtk::make_managed<Gtk::Grid>();
    grid->set_row_spacing(6);
    grid->set_column_spacing(6);
    auto add_row = [grid](int row, const char* label, Gtk::Widget& list, Gtk::Widget* button) {
        grid->attach(*Gtk::make_managed<Gtk::Label>(label, Gtk::ALIGN_START), 0, row);
        list.set_hexpand(true);
        grid->attach(list, 1, row);
        if (button)
            grid->attach(*button, 2, row);
    };
    add_row(0, "Microphone", m_microphone, nullptr);
    add_row(1, "Speaker", m_speaker, &m_play_output);
    add_row(2, "Ring device", m_ring, &m_play_ring);
    // No action is defined for these yet; they stay visible but unusable.
    for (Gtk::Button* button : {&m_refresh, &m_play_output, &m_play_ring})
        button->set_sensitive(false);
    pack_start(m_header, Gtk::PACK_SHRINK);
    pack_start(*grid, Gtk::PACK_SHRINK);
    pack_start(m_refresh, Gtk::PACK_SHRINK);
    set_border_width(12);
}

void CWizAudioPage::initialise()
{
    m_header.set_text(wizard_texts::kAudioHeader);
    AppSettings settings;
    settings.load();
    fill_device_lists(m_microphone, m_speaker, m_ring, settings);
}

void CWizAudioPage::on_activate()
{
    m_wizard.set_buttons(true, true, false, false);
}

bool CWizAudioPage::on_leave()
{
    AppSettings settings;
    settings.load();
    settings.input_device = selected_device(m_microphone, settings.input_device);
    settings.output_device = selected_device(m_speaker, settings.output_device);
    settings.ring_device = selected_device(m_ring, settings.ring_device);
    settings.save();
    return true;
}
