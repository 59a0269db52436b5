#pragma once
#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/radiobutton.h>

#include "ui/web/html_label.h"

class COptionsWizard;

// Wizard page 1: sign in with an existing account (checked with the service) or leave
// the wizard to sign up.
class CWizIntroPage : public Gtk::Box {
public:
    explicit CWizIntroPage(COptionsWizard& wizard);

    // Asks to log out a logged-in user; false when the user declined (the wizard ends).
    bool initialise();
    void on_activate();
    // Next pressed: true when the wizard may go on to page 2.
    bool on_leave();

    HtmlLabel& welcome_label() { return m_welcome; }
    Gtk::RadioButton& have_account_radio() { return m_have_account; }
    Gtk::RadioButton& signup_radio() { return m_signup; }
    Gtk::Entry& username_edit() { return m_username; }
    Gtk::Entry& password_edit() { return m_password; }

private:
    COptionsWizard& m_wizard;
    HtmlLabel m_welcome; // 1017
    Gtk::RadioButton m_have_account; // 1020
    Gtk::RadioButton m_signup; // 1021
    Gtk::Entry m_username; // 1022
    Gtk::Entry m_password; // 1023
};
