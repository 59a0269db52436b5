#pragma once
#include <gtkmm/dialog.h>
#include <gtkmm/notebook.h>

#include "settings/app_settings.h"
#include "ui/options/account_opts_page.h"
#include "ui/options/audio_opts_page.h"

// The settings dialog: account and audio pages, each editing its own copy of the settings
// record; only OK stores anything.
class COptionsSheet : public Gtk::Dialog {
public:
    COptionsSheet();
    ~COptionsSheet() override;

    // Loads the settings, runs the sheet modally over `parent` and on OK stores the
    // account page's record with the audio page's devices and quality. Returns the
    // dialog's response (Gtk::RESPONSE_OK when stored).
    int run_sheet(Gtk::Window* parent);

    // The pages' copies are filled before the sheet runs; for run_sheet and tests.
    void load(const AppSettings& settings);
    // OK: both pages' copies as they stand after their apply steps.
    void apply_pages();

    Gtk::Notebook& notebook() { return m_notebook; }
    CAccountOptsPage& account_page() { return m_account; }
    CAudioOptsPage& audio_page() { return m_audio; }

private:
    void on_switch_page(Gtk::Widget* page, guint number);

    Gtk::Notebook m_notebook;
    CAccountOptsPage m_account;
    CAudioOptsPage m_audio;
    int m_current_page = 0;
    // Cut before the pages go, so their removal is not taken for a page change.
    sigc::connection m_switch_connection;
};
