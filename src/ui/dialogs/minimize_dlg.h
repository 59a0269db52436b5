#pragma once
#include "settings/app_settings.h"
#include "ui/dialogs/dialog_template.h"

// The usage tip shown when the main window closes to the tray ("Usage tip"). It edits
// the caller's settings record: check box 1042 "Don't show this message again" is
// show_minimize, check box 1010 "Start Kalvo minimized" is start_minimized (shown only
// with auto_login).
class MinimizeDlg {
public:
    explicit MinimizeDlg(AppSettings& settings);

    // 0 after OK (the boxes copied into the record) or at once when show_minimize is
    // set; 1 when dismissed otherwise (nothing copied).
    int DoModal(Gtk::Window* parent);

    Gtk::Dialog& dialog() { return m_template.dialog(); }
    Gtk::CheckButton& dont_show_check() { return m_dont_show; }
    Gtk::CheckButton& start_minimized_check() { return m_start_minimized; }

private:
    AppSettings& m_settings;
    DialogTemplate m_template;
    Gtk::CheckButton& m_dont_show;
    Gtk::CheckButton& m_start_minimized;
};
