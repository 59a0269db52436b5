#include "ui/dialogs/minimize_dlg.h"

MinimizeDlg::MinimizeDlg(AppSettings& settings)
    : m_settings(settings), m_template("/kalvo/ui/minimize_dlg.ui", "dialog_231"),
      m_dont_show(m_template.widget<Gtk::CheckButton>("check_1042")),
      m_start_minimized(m_template.widget<Gtk::CheckButton>("check_1010"))
{
}

int MinimizeDlg::DoModal(Gtk::Window* parent)
{
    if (m_settings.show_minimize)
        return 0;
    m_start_minimized.set_visible(m_settings.auto_login);
    m_dont_show.set_active(m_settings.show_minimize);
    m_start_minimized.set_active(m_settings.start_minimized);
    if (parent)
        dialog().set_transient_for(*parent);

    int response = dialog().run();
    dialog().hide();
    if (response != Gtk::RESPONSE_OK)
        return 1;
    m_settings.show_minimize = m_dont_show.get_active();
    m_settings.start_minimized = m_start_minimized.get_active();
    return 0;
}
