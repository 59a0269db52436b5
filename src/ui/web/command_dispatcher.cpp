#include "ui/web/command_dispatcher.h"

#include <cstdlib>

#include "log/log_file.h"
#include "net/service_addresses.h"
#include "net/service_requests.h"
#include "settings/app_settings.h"
#include "settings/paths.h"
#include "ui/web/command_text.h"

namespace {

// The leading decimal number of a text, 0 when it has none (a page's menu position).
int leading_number(const std::string& text)
{
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

} // namespace

void CommandDispatcher::Dispatch(const std::string& text, CommandSource source)
{
    m_actions.Log("OnPageFunc");
    m_actions.ShowAndRaise();
    // Producers copy a text into the command buffer: a longer one (a later start's command
    // line, say) is not a command.
    if (text.size() >= command_text::kBufferSize) {
        log_file::write_line("HOOK - Command text refused: " + std::to_string(text.size()) +
            " bytes, longer than the command buffer");
        return;
    }
    // A login text carries the password: the log gets it masked.
    m_actions.Log(
        "HOOK: Checking for a match in copy data:" + service_address::mask_password_in_address(text));
    std::optional<command_text::Command> command = command_text::parse(text);
    if (!command)
        return;
    m_actions.Log("HOOK: Got a handler match");
    const std::string& name = command->name;
    const std::string& query = command->query;
    if (source == CommandSource::Outside && !AllowedFromOutside(name, text))
        return;

    if (name == "login") {
        Login(text);
    } else if (name == "call") {
        m_actions.Log("HOOK: We got a call");
        m_actions.PlaceCall(query);
        m_actions.RunMainScript("clearInput()");
    } else if (name == "hold") {
        if (query == "start")
            m_actions.Log("********** Placing call on hold");
        m_actions.Hold(query == "start");
    } else if (name == "mute") {
        if (query == "start")
            m_actions.Log("********** Muting microphone");
        m_actions.Mute(query == "start");
    } else if (name == "hangup") {
        m_actions.Hangup();
    } else if (name == "answer") {
        m_actions.Log("OnAnswer");
        m_actions.Answer();
    } else if (name == "reject") {
        m_actions.Log("OnReject");
        m_actions.Reject();
    } else if (name == "reload_tab") {
        m_actions.OpenTab();
        m_actions.Log("********** Reloading tab");
        m_actions.ReloadTab();
    } else if (name == "show_pro") {
        m_actions.RunMainScript("showTab('pro', true); signupPro(1)");
    } else if (name == "reload_contacts") {
        m_actions.Log("********** Reloading contacts");
        m_actions.RunMainScript("loadContacts()");
    } else if (name == "wizard") {
        Wizard(text);
    } else if (name == "show_login") {
        ShowLogin(text);
    } else if (name == "menu") {
        Menu(text);
    } else if (name == "toast") {
        if (auto argument = command_text::text_argument(text))
            m_actions.ShowToast(*argument);
    } else if (name == "hide_toast") {
        m_actions.HideToast();
    } else if (name == "info") {
        Info(text);
    } else if (name == "message") {
        if (auto argument = command_text::text_argument(text))
            m_actions.MessageBox(*argument);
    } else if (name == "profile") {
        AppSettings settings;
        settings.load();
        m_actions.OpenInBrowser(service_address::account_login_page(
            m_deployment.secure_http, settings.username, settings.password));
    } else if (name == "dtmf_start") {
        // Recognised; the page plays its own tones through window.external.
    } else if (name == "show") {
        m_actions.OpenTab();
    } else if (name == "show_tab") {
        m_actions.OpenTab();
        std::string address = service_address::tab_page(m_deployment, query);
        m_actions.Log("Opening URL " + address);
        m_actions.NavigateTab(address);
    }
}

bool CommandDispatcher::AllowedFromOutside(const std::string& name, const std::string& text)
{
    if (name == "call" || name == "show" || name == "show_tab" || name == "reload_tab")
        return true;
    std::optional<std::string> account;
    if (name == "login") {
        if (auto login = command_text::login_arguments(text))
            account = login->user;
    } else if (name == "wizard" || name == "show_login") {
        account = command_text::url_argument(text);
        if (!account && name == "wizard")
            return true; // only opens the wizard
        if (!account) {
            AppSettings settings;
            settings.load();
            account = settings.username;
        }
    }
    if (!account) {
        m_actions.Log("Link from outside Kalvo refused: " + name);
        return false;
    }
    if (m_actions.InCall()) {
        m_actions.Log("Link from outside Kalvo refused during a call: " + name);
        return false;
    }
    bool allowed = m_actions.Confirm("A link from outside Kalvo wants to use the account \"" + *account +
        "\".\n\nDo you want to allow it?");
    m_actions.Log(std::string("Link from outside Kalvo ") + (allowed ? "allowed: " : "declined: ") + name);
    return allowed;
}

void CommandDispatcher::Login(const std::string& text)
{
    std::optional<command_text::LoginArguments> login = command_text::login_arguments(text);
    if (!login) {
        m_actions.Log("LOGIN FAILED");
        return;
    }
    AppSettings settings;
    settings.load();
    settings.username = login->user;
    settings.password = login->password;
    settings.remember_user = login->remember;
    settings.auto_login = login->auto_login;
    settings.save();
    if (login->password.empty())
        return;
    m_actions.StartLogin();
    m_actions.KeepAccount(login->user, login->password);
}

void CommandDispatcher::Wizard(const std::string& text)
{
    AppSettings settings;
    settings.load();
    if (auto user = command_text::url_argument(text)) {
        settings.username = *user;
        settings.save();
    }
    if (settings.shown_wizard)
        return;
    if (m_actions.AskWizard())
        m_actions.RunWizard();
}

void CommandDispatcher::ShowLogin(const std::string& text)
{
    AppSettings settings;
    settings.load();
    std::string user = settings.username;
    if (auto given = command_text::url_argument(text))
        user = *given;
    m_actions.NavigateContent(
        service_address::login_page_address(paths::join(m_actions.SkinsFolder(), "Kalvo"), user,
            settings.password, settings.remember_user, settings.auto_login, false));
    m_actions.SetLoggedIn(false);
}

void CommandDispatcher::Menu(const std::string& text)
{
    std::optional<command_text::MenuArguments> menu = command_text::menu_arguments(text);
    if (!menu)
        return;
    m_actions.Log(menu->type);
    int type = menu->type == "file" ? 1 : menu->type == "view" ? 2 : menu->type == "help" ? 3 : 0;
    if (type == 0)
        return;
    if (!m_actions.ShowPageMenu(type, leading_number(menu->x), leading_number(menu->y)))
        return;
    m_actions.Log("Destroying menu");
    m_actions.RunMainScript("releaseMenu()");
}

void CommandDispatcher::Info(const std::string& text)
{
    m_actions.Log("********** Need to show an info dialog");
    std::optional<std::string> address = command_text::url_argument(text);
    if (!address)
        return;
    // The information window shows the service's pages only, never a file or another site.
    if (!is_service_address(*address, m_deployment, ServiceSchemes::HttpOrHttps)) {
        m_actions.Log("Information page refused (not a page of the service): " +
            service_address::mask_password_in_address(*address));
        return;
    }
    m_actions.ShowInfo(*address);
}
