#include "ui/options/account_opts_page.h"

#include <gtkmm/grid.h>
#include <gtkmm/label.h>

namespace {
// Text fields transfer at most this many characters.
constexpr int kTextFieldLimit = 1023;
} // namespace

CAccountOptsPage::CAccountOptsPage()
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 6), m_remember("Remember my username and password"),
      m_auto_login("Log me in automatically"), m_start_minimized("Minimize Kalvo when I log in"),
      m_auto_start("Start Kalvo when I log in")
{
    m_username.set_max_length(kTextFieldLimit);
    m_password.set_max_length(kTextFieldLimit);
    m_password.set_visibility(false);
    auto* grid = Gtk::make_managed<Gtk::Grid>();
    grid->set_row_spacing(6);
    grid->set_column_spacing(6);
    grid->attach(*Gtk::make_managed<Gtk::Label>("Username", Gtk::ALIGN_START), 0, 0);
    grid->attach(m_username, 1, 0);
    grid->attach(*Gtk::make_managed<Gtk::Label>("Password", Gtk::ALIGN_START), 0, 1);
    grid->attach(m_password, 1, 1);
    m_username.set_hexpand(true);
    pack_start(*grid, Gtk::PACK_SHRINK);
    for (Gtk::CheckButton* check : {&m_remember, &m_auto_login, &m_start_minimized, &m_auto_start})
        pack_start(*check, Gtk::PACK_SHRINK);
    set_border_width(12);
    m_auto_login.signal_toggled().connect(sigc::mem_fun(*this, &CAccountOptsPage::update_minimize));
}

void CAccountOptsPage::initialise(const AppSettings& settings)
{
    m_settings = settings;
    m_username.set_text(settings.username);
    m_password.set_text(settings.password);
    m_remember.set_active(settings.remember_user);
    m_start_minimized.set_active(settings.start_minimized);
    m_auto_start.set_active(settings.auto_start);
    m_auto_login.set_active(settings.auto_login);
    update_minimize();
}

void CAccountOptsPage::update_minimize()
{
    const bool auto_login = m_auto_login.get_active();
    m_start_minimized.set_sensitive(auto_login);
    if (!auto_login)
        m_start_minimized.set_active(false);
}

void CAccountOptsPage::apply()
{
    m_settings.username = m_username.get_text();
    m_settings.password = m_password.get_text();
    m_settings.remember_user = m_remember.get_active();
    m_settings.auto_login = m_auto_login.get_active();
    m_settings.start_minimized = m_start_minimized.get_active();
    m_settings.auto_start = m_auto_start.get_active();
}
