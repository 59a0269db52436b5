#include "ui/dialogs/wizard_dlg.h"

namespace {

// The template's button responses: IDYES and IDNO.
constexpr int kYesResponse = 6;
constexpr int kNoResponse = 7;

} // namespace

WizardDlg::WizardDlg(AppSettings& settings)
    : m_settings(settings), m_template("/kalvo/ui/wizard_dlg.ui", "dialog_234"),
      m_dont_ask(m_template.widget<Gtk::CheckButton>("check_1043"))
{
}

int WizardDlg::DoModal(Gtk::Window* parent)
{
    m_dont_ask.set_active(m_settings.shown_wizard);
    if (parent)
        dialog().set_transient_for(*parent);

    int response = dialog().run();
    dialog().hide();
    if (response != kYesResponse && response != kNoResponse)
        return kNo;
    m_settings.shown_wizard = m_dont_ask.get_active();
    m_settings.save();
    return response == kYesResponse ? kYes : kNo;
}
