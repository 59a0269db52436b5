#include "ui/main/main_dialogs.h"

#include <gtkmm.h>

#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "telephony/call_control.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/minimize_dlg.h"
#include "ui/dialogs/wizard_dlg.h"
#include "ui/main/presentation_text.h"
#include "ui/options/options_sheet.h"
#include "ui/toast/taskbar_notifier.h"
#include "ui/wizard/options_wizard.h"

namespace {

void log(const std::string& line)
{
    LogDlg::instance().append(line);
}

} // namespace

MainDialogs::MainDialogs(std::function<Gtk::Window*()> parent, CallControl& calls,
    std::function<void(const std::string&)> toast_command)
    : m_parent(std::move(parent)), m_calls(calls), m_toast(std::make_unique<CTaskbarNotifier>())
{
    m_toast->set_command_handler(std::move(toast_command));
}

MainDialogs::~MainDialogs() = default;

void MainDialogs::ShowToast(const std::string& text)
{
    m_toast->show_toast(text);
}

void MainDialogs::ShowMissedCall(const std::string& caller)
{
    ShowToast(presentation::missed_call_toast(caller));
}

void MainDialogs::HideToast()
{
    m_toast->hide_toast();
}

bool MainDialogs::AskWizard()
{
    AppSettings settings;
    settings.load();
    return WizardDlg(settings).DoModal(m_parent()) == WizardDlg::kYes;
}

void MainDialogs::RunWizard()
{
    log("Starting wizard");
    if (m_calls.in_call()) {
        ::message_box("You cannot run this wizard during a call.\nPlease hangup your call and try again.",
            "Please hangup", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
        return;
    }
    m_calls.set_wizard_mode(true);
    int result = run_setup_wizard(m_parent());
    log(result == 1 ? std::string("Got IDOK") : "Got return value: " + std::to_string(result));
    m_calls.set_wizard_mode(false);
    m_calls.end_call();
}

void MainDialogs::RunOptionsSheet()
{
    log("OnSettingsMsg");
    COptionsSheet sheet;
    sheet.run_sheet(m_parent());
}

void MainDialogs::AskOnClose()
{
    AppSettings settings;
    settings.load();
    MinimizeDlg(settings).DoModal(m_parent());
    settings.save();
}

void MainDialogs::MessageBox(const std::string& text)
{
    ::message_box(text, "Kalvo", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
}

bool MainDialogs::Confirm(const std::string& text)
{
    return ::message_box(text, "Confirmation", Gtk::MESSAGE_WARNING, Gtk::BUTTONS_YES_NO) ==
        Gtk::RESPONSE_YES;
}

bool MainDialogs::InCall()
{
    return m_calls.in_call();
}

void MainDialogs::OpenInBrowser(const std::string& address)
{
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(address.c_str(), nullptr, &error)) {
        // The address may carry the password ("account"): only the host goes to the log.
        log("Could not open a page of " + Deployment::host_of(address) +
            " in the browser: " + (error ? error->message : "unknown error"));
        g_clear_error(&error);
    }
}
