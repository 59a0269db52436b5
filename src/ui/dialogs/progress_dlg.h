#pragma once
#include <optional>
#include <string>

#include "net/http_request.h"
#include "ui/dialogs/dialog_template.h"

// The update download's progress window ("Kalvo updater"): text 1003, progress bar 1001
// (0-100), status 1002. One process-wide window, created on first use on the interface
// thread and never destroyed; closing it only hides it. The status and percent
// operations may be called from any thread: they hop to the interface thread.
class ProgressDlg {
public:
    static ProgressDlg& instance();

    // Shows the window, modeless, over its owner (none: on its own), its bar empty.
    void Show(Gtk::Window* owner);
    void Hide();
    void SetStatus(const std::string& status);
    void SetPercent(int percent);
    // The download's progress callback: both operations from the downloading thread.
    ProgressCallback progress_callback();

    Gtk::Dialog& dialog() { return m_template.dialog(); }
    std::string text();
    std::string status();
    double fraction();

private:
    ProgressDlg();

    DialogTemplate m_template;
    Gtk::Label& m_text;
    Gtk::ProgressBar& m_progress;
    Gtk::Label& m_status;
};
