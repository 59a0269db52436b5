#pragma once
#include "settings/app_settings.h"
#include "ui/dialogs/dialog_template.h"

// The first-run prompt that offers the setup wizard. Check box 1043 "Don't ask me again"
// edits the caller's settings record (shown_wizard).
class WizardDlg {
public:
    enum Answer { kYes = 0, kNo = 1 };

    explicit WizardDlg(AppSettings& settings);

    // Yes: 0, No: 1, each after copying the check box into shown_wizard and saving the
    // settings. Closed without an answer: 1, nothing copied or saved.
    int DoModal(Gtk::Window* parent);

    Gtk::Dialog& dialog() { return m_template.dialog(); }
    Gtk::CheckButton& dont_ask_check() { return m_dont_ask; }

private:
    AppSettings& m_settings;
    DialogTemplate m_template;
    Gtk::CheckButton& m_dont_ask;
};
