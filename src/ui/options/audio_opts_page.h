#pragma once
#include <gtkmm/box.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/scale.h>

#include "settings/app_settings.h"
#include "ui/web/html_label.h"

// The options sheet's audio page: devices and call quality, the quality limited to 3
// unless the account is Pro. Filled when first shown, like a property page.
class CAudioOptsPage : public Gtk::Box {
public:
    CAudioOptsPage();

    void set_settings(const AppSettings& settings) { m_settings = settings; }
    // First showing: asks the service for the account tier and fills the controls.
    void initialise();
    bool initialised() const { return m_initialised; }
    // Leaving the page (or OK on it): the controls into the page's settings copy.
    void on_leave();
    const AppSettings& settings() const { return m_settings; }
    const std::string& account_type() const { return m_account_type; }

    Gtk::ComboBoxText& microphone_list() { return m_microphone; }
    Gtk::ComboBoxText& speaker_list() { return m_speaker; }
    Gtk::ComboBoxText& ring_list() { return m_ring; }
    Gtk::Scale& quality_slider() { return m_quality; }
    HtmlLabel& pro_banner() { return m_pro_banner; }

private:
    void on_quality_moved();
    int slider_position() const;

    AppSettings m_settings;
    std::string m_account_type = "pro";
    bool m_initialised = false;
    Gtk::ComboBoxText m_microphone; // 1012
    Gtk::ComboBoxText m_speaker; // 1013
    Gtk::ComboBoxText m_ring; // 1014
    Gtk::Scale m_quality; // 1034
    HtmlLabel m_pro_banner; // 1039
};
