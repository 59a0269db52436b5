#pragma once
#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/entry.h>

#include "settings/app_settings.h"

// The options sheet's account page: user name, password and the start-up choices.
class CAccountOptsPage : public Gtk::Box {
public:
    CAccountOptsPage();

    // Copies the settings into the controls.
    void initialise(const AppSettings& settings);
    // Copies the controls back into the page's settings copy.
    void apply();
    const AppSettings& settings() const { return m_settings; }

    Gtk::Entry& username_edit() { return m_username; }
    Gtk::Entry& password_edit() { return m_password; }
    Gtk::CheckButton& remember_check() { return m_remember; }
    Gtk::CheckButton& auto_login_check() { return m_auto_login; }
    Gtk::CheckButton& start_minimized_check() { return m_start_minimized; }
    Gtk::CheckButton& auto_start_check() { return m_auto_start; }

private:
    // "Minimize" is only offered together with the automatic log-in.
    void update_minimize();

    AppSettings m_settings;
    Gtk::Entry m_username; // 1004
    Gtk::Entry m_password; // 1005
    Gtk::CheckButton m_remember; // 1006
    Gtk::CheckButton m_auto_login; // 1008
    Gtk::CheckButton m_start_minimized; // 1009
    Gtk::CheckButton m_auto_start; // 1007
};
