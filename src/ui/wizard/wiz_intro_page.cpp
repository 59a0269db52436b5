#include "ui/wizard/wiz_intro_page.h"

#include <gtkmm/label.h>

#include "log/log_dlg.h"
#include "net/service_requests.h"
#include "settings/app_settings.h"
#include "telephony/call_manager.h"
#include "ui/dialogs/message_box.h"
#include "ui/wizard/options_wizard.h"
#include "ui/wizard/wizard_rules.h"
#include "ui/wizard/wizard_texts.h"

CWizIntroPage::CWizIntroPage(COptionsWizard& wizard)
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 6), m_wizard(wizard),
      m_have_account("I already have an Kalvo account"), m_signup("I need to signup for a new account")
{
    m_signup.join_group(m_have_account);
    m_username.set_max_length(wizard_rules::kAccountFieldLimit);
    m_password.set_max_length(wizard_rules::kAccountFieldLimit);
    m_password.set_visibility(false);
    auto* username_label = Gtk::make_managed<Gtk::Label>("Username", Gtk::ALIGN_START);
    auto* password_label = Gtk::make_managed<Gtk::Label>("Password", Gtk::ALIGN_START);
    pack_start(m_welcome, Gtk::PACK_SHRINK);
    pack_start(m_have_account, Gtk::PACK_SHRINK);
    pack_start(*username_label, Gtk::PACK_SHRINK);
    pack_start(m_username, Gtk::PACK_SHRINK);
    pack_start(*password_label, Gtk::PACK_SHRINK);
    pack_start(m_password, Gtk::PACK_SHRINK);
    pack_start(m_signup, Gtk::PACK_SHRINK);
    set_border_width(12);
}

bool CWizIntroPage::initialise()
{
    m_have_account.set_active(true);
    CallManager& call_manager = CallManager::instance();
    if (call_manager.logged_in()) {
        const int answer = show_message_box(&m_wizard,
            {"You must be logged out to use the setup wizard.  \nWould you like to log out now and continue "
             "with the wizard?",
                "You need to be logged out", Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL});
        if (answer != Gtk::RESPONSE_OK)
            return false;
        call_manager.unregister();
        call_manager.logout_requested();
    }
    m_welcome.set_text(wizard_texts::kWelcome);
    AppSettings settings;
    settings.load();
    m_username.set_text(wizard_rules::limit_account_field(settings.username));
    m_password.set_text(wizard_rules::limit_account_field(settings.password));
    return true;
}

void CWizIntroPage::on_activate()
{
    LogDlg::instance().append("HERE");
    m_wizard.set_buttons(false, true, false, false);
}

bool CWizIntroPage::on_leave()
{
    LogDlg& log = LogDlg::instance();
    if (m_signup.get_active()) {
        show_message_box(&m_wizard,
            {"Kalvo needs to close the wizard so you can create an account.\nOnce you've created your new "
             "account, "
             "the wizard will automatically restart\nand you can setup your audio and other account options.",
                "The wizard will close", Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK});
        CallManager::instance().set_wizard_mode(false);
        CallManager::instance().show_register_page();
        m_wizard.end_wizard(kWizardNotRun);
        return false;
    }

    const std::string username = wizard_rules::limit_account_field(m_username.get_text());
    const std::string password = wizard_rules::limit_account_field(m_password.get_text());
    log.append("********** Setting username " + username);
    AppSettings settings;
    settings.load();
    settings.username = username;
    settings.password = password;
    settings.save();

    if (username.empty() || password.empty()) {
        show_message_box(&m_wizard,
            {"Please enter a username and password to continue with the wizard.", "Error", Gtk::MESSAGE_ERROR,
                Gtk::BUTTONS_OK});
        return false;
    }

    const HttpReply reply = get_text(username_check_request(username, password));
    log.append(reply.body);
    switch (wizard_rules::username_check_outcome(reply)) {
    case wizard_rules::UsernameCheck::Valid:
        log.append("********** Valid user");
        return true;
    case wizard_rules::UsernameCheck::Invalid:
        log.append("********** Invalid user");
        show_message_box(&m_wizard,
            {"The username and password you have entered could not be validated.",
                "Invalid username or password", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
        return false;
    case wizard_rules::UsernameCheck::NoConnection:
        log.append("********** Invalid user");
        show_message_box(&m_wizard,
            {"Kalvo could not connect to the sever to validate your username and password.\nPlease check "
             "your "
             "Internet settings and try again.",
                "Could not connect", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
        return false;
    }
    return false;
}
