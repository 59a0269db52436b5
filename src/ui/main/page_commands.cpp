#include "ui/main/page_commands.h"

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "skin/loader.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/log_window.h"
#include "ui/info/info_dlg.h"
#include "ui/main/call_presenter.h"
#include "ui/main/key_codes.h"
#include "ui/main/line_presenter.h"
#include "ui/main/main_commands.h"
#include "ui/main/main_dialogs.h"
#include "ui/main/main_screen.h"
#include "ui/main/popup_menus.h"
#include "ui/main/presentation_text.h"
#include "ui/main/sign_in.h"

namespace {

AppSettings stored_settings()
{
    AppSettings settings;
    settings.load();
    return settings;
}

} // namespace

void PageCommands::OnMenuCommand(unsigned id)
{
    switch (id) {
    case ID_SHOW:
        m_roles.show_window();
        break;
    case ID_SHOW_LOG:
        LogWindow::instance().present();
        break;
    case ID_SETTINGS_TRAY:
    case ID_SETTINGS_FILE:
        m_roles.dialogs.RunOptionsSheet();
        break;
    case ID_WIZARD_TRAY:
    case ID_WIZARD_FILE:
        m_roles.dialogs.RunWizard();
        break;
    case ID_LOGOUT_TRAY:
    case ID_LOGOUT_FILE:
        m_roles.line.SignOut();
        break;
    case ID_ABOUT:
    case ID_APP_ABOUT:
        CAboutDlg::Open();
        break;
    case ID_MY_ACCOUNT:
    case ID_ACCESS_NUMBERS:
    case ID_KNOWLEDGE_BASE:
        OpenMenuPage(id);
        break;
    case ID_CANCEL:
        // Escape is easily pressed by mistake: it never ends a call with the program.
        if (m_roles.calls.InCall()) {
            Log("Escape ignored: a call is in progress");
            log_file::write_line("MAIN - Escape ignored: a call is in progress");
            break;
        }
        m_roles.exit_program();
        break;
    case ID_EXIT_TRAY:
    case ID_EXIT_FILE:
        m_roles.exit_program();
        break;
    default:
        break;
    }
}

void PageCommands::OpenMenuPage(unsigned id)
{
    const Deployment& deployment = Deployment::get();
    AppSettings settings = stored_settings();
    if (id == ID_MY_ACCOUNT)
        OpenInBrowser(service_address::account_login_page(
            deployment.secure_http, settings.username, settings.password));
    else if (id == ID_ACCESS_NUMBERS)
        OpenInBrowser(service_address::access_numbers_page(deployment));
    else if (id == ID_KNOWLEDGE_BASE)
        OpenInBrowser(service_address::knowledge_base_page(deployment));
    else
        OpenInBrowser(service_address::account_page(deployment, settings.username, settings.password));
}

void PageCommands::OnKey(unsigned keyval)
{
    std::string script = presentation::focus_script(virtual_key_code(keyval));
    RunMainScript(script);
    Log(script);
}

void PageCommands::Log(const std::string& line)
{
    LogDlg::instance().append(line);
}

void PageCommands::ShowAndRaise()
{
    m_roles.screen.ShowAndRaise();
}

void PageCommands::RunMainScript(const std::string& script)
{
    m_roles.screen.RunScript("content", script);
}

void PageCommands::StartLogin()
{
    m_roles.sign_in.start_login_thread();
}

void PageCommands::KeepAccount(const std::string& user, const std::string& password)
{
    m_roles.sign_in.KeepAccount(user, password);
}

void PageCommands::SetLoggedIn(bool logged_in)
{
    m_roles.line.set_logged_in(logged_in);
}

void PageCommands::PlaceCall(const std::string& number)
{
    m_roles.calls.PlaceCall(number);
}

void PageCommands::Hold(bool on_hold)
{
    m_roles.calls.Hold(on_hold);
}

void PageCommands::Mute(bool muted)
{
    m_roles.calls.Mute(muted);
}

void PageCommands::Hangup()
{
    m_roles.calls.Hangup();
}

void PageCommands::Answer()
{
    m_roles.calls.Answer();
}

void PageCommands::Reject()
{
    m_roles.calls.Reject();
}

void PageCommands::NavigateContent(const std::string& address)
{
    m_roles.screen.Navigate("content", address);
}

void PageCommands::NavigateTab(const std::string& address)
{
    m_roles.screen.Navigate("tab", address);
}

void PageCommands::ReloadTab()
{
    m_roles.screen.ReloadTab();
}

void PageCommands::OpenTab()
{
    Log("********** OpenTab");
    m_roles.screen.OpenTab();
}

void PageCommands::ShowInfo(const std::string& address)
{
    if (!m_roles.screen.HasPage("info"))
        return;
    InfoDlg::instance().Show();
    m_roles.screen.Navigate("info", address);
}

bool PageCommands::ShowPageMenu(int type, int x, int y)
{
    return m_roles.menus.ShowInPage(type, x, y);
}

bool PageCommands::AskWizard()
{
    return m_roles.dialogs.AskWizard();
}

void PageCommands::RunWizard()
{
    m_roles.dialogs.RunWizard();
}

void PageCommands::ShowToast(const std::string& text)
{
    m_roles.dialogs.ShowToast(text);
}

void PageCommands::HideToast()
{
    m_roles.dialogs.HideToast();
}

void PageCommands::MessageBox(const std::string& text)
{
    m_roles.dialogs.MessageBox(text);
}

bool PageCommands::Confirm(const std::string& text)
{
    return m_roles.dialogs.Confirm(text);
}

bool PageCommands::InCall()
{
    return m_roles.dialogs.InCall();
}

void PageCommands::OpenInBrowser(const std::string& address)
{
    m_roles.dialogs.OpenInBrowser(address);
}

std::string PageCommands::SkinsFolder() const
{
    return Skin::Loader::SkinsFolder();
}

void PageCommands::ShowWizard()
{
    RunWizard();
}

void PageCommands::CloseTab()
{
    Log("********** CloseTab");
    m_roles.screen.CloseTab();
}

void PageCommands::ShowProfile()
{
    AppSettings settings = stored_settings();
    OpenInBrowser(service_address::account_login_page(
        Deployment::get().web_http, settings.username, settings.password));
}

void PageCommands::ShowHistory()
{
    AppSettings settings = stored_settings();
    OpenInBrowser(
        service_address::call_history_page(Deployment::get(), settings.username, settings.password));
}

void PageCommands::ShowRegister()
{
    RunMainScript("window.location.href = '" + service_address::register_page(Deployment::get()) + "';");
}

void PageCommands::Logout()
{
    m_roles.line.SignOut();
}

void PageCommands::SetUsername(const std::string& text)
{
    AppSettings settings = stored_settings();
    settings.username = text;
    settings.save();
}

void PageCommands::SetPassword(const std::string& text)
{
    AppSettings settings = stored_settings();
    settings.password = text;
    settings.save();
}

bool PageCommands::ShowConfirm(const std::string& text)
{
    return Confirm(text);
}

void PageCommands::SendToTab(const std::string& text)
{
    Log("********** SendToTab" + text);
    Log("********** Sending Javascript to tab:" + text);
    m_roles.screen.RunScript("tab", text);
    Log("********** Here");
}

void PageCommands::SendToMain(const std::string& text)
{
    Log("********** SendToMain" + text);
    RunMainScript(text);
}

void PageCommands::SetTab(const std::string& text)
{
    Log("********** SetTab" + text);
    m_roles.screen.SelectMainTab(text);
}

void PageCommands::StartDTMF(const std::string& text)
{
    m_roles.calls.StartTone(text);
}

void PageCommands::EndDTMF(const std::string& text)
{
    m_roles.calls.EndTone(text);
}

void PageCommands::RunContentScript(const std::string& script)
{
    RunMainScript(script);
}

void PageCommands::AppendLog(const std::string& line)
{
    Log(line);
}
