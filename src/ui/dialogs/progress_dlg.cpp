#include "ui/dialogs/progress_dlg.h"

#include <algorithm>

#include "base/ui_thread.h"
#include "net/download_progress.h"

ProgressDlg& ProgressDlg::instance()
{
    static ProgressDlg* dialog = new ProgressDlg(); // never destroyed
    return *dialog;
}

ProgressDlg::ProgressDlg()
    : m_template("/kalvo/ui/progress_dlg.ui", "dialog_203"),
      m_text(m_template.widget<Gtk::Label>("text_1003")),
      m_progress(m_template.widget<Gtk::ProgressBar>("progress_1001")),
      m_status(m_template.widget<Gtk::Label>("status_1002"))
{
    dialog().signal_delete_event().connect([this](GdkEventAny*) {
        dialog().hide();
        return true;
    });
}

void ProgressDlg::Show(Gtk::Window* owner)
{
    if (owner)
        dialog().set_transient_for(*owner);
    dialog().show();
}

void ProgressDlg::SetStatus(const std::string& status)
{
    if (!ui_thread::on_ui_thread()) {
        ui_thread::invoke([this, status] { SetStatus(status); });
        return;
    }
    m_text.set_text(kDownloadWaitText);
    m_status.set_text(status);
}

void ProgressDlg::SetPercent(int percent)
{
    if (!ui_thread::on_ui_thread()) {
        ui_thread::invoke([this, percent] { SetPercent(percent); });
        return;
    }
    m_progress.set_fraction(std::clamp(percent, 0, 100) / 100.0);
}

ProgressCallback ProgressDlg::progress_callback()
{
    return [this](std::optional<int> percent, const std::string& status) {
        SetStatus(status);
        if (percent)
            SetPercent(*percent);
    };
}

std::string ProgressDlg::text()
{
    return m_text.get_text();
}

std::string ProgressDlg::status()
{
    return m_status.get_text();
}

double ProgressDlg::fraction()
{
    return m_progress.get_fraction();
}
