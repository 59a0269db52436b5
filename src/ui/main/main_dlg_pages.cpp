// The main window's pages and calls: the line-state handler that loads the main page,
// call presentation, the command dispatcher's actions and window.external's methods.
#include <cstdlib>
#include <gtkmm.h>

#include "base/messages.h"
#include "log/log_dlg.h"
#include "net/login_reply_values.h"
#include "net/login_thread.h"
#include "net/md5_digest.h"
#include "net/service_addresses.h"
#include "net/service_requests.h"
#include "net/update_worker.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "skin/definition.h"
#include "skin/loader.h"
#include "skin/skin_input.h"
#include "skin/skin_text.h"
#include "skin/skin_web.h"
#include "skin/tab_dlg.h"
#include "telephony/call_manager.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/dialogs/wizard_dlg.h"
#include "ui/info/info_dlg.h"
#include "ui/main/main_dlg.h"
#include "ui/main/presentation_text.h"
#include "ui/main/tray_icon.h"
#include "ui/options/options_sheet.h"
#include "ui/toast/taskbar_notifier.h"
#include "ui/web/main_page_cache.h"
#include "ui/web/web_host.h"
#include "ui/wizard/options_wizard.h"
#include "ui/wizard/wiz_echo_page.h"

namespace {

void log_file_line(const std::string& text)
{
    CallManager::instance().write_log_file(text);
}

} // namespace

// ---- Skin helpers

Skin::Element* CMainDlg::FindElement(const std::string& name) const
{
    return m_skin ? m_skin->FindElement(name) : nullptr;
}

WebHost* CMainDlg::FindWebHost(const std::string& name) const
{
    for (const auto& host : m_hosts) {
        if (host->name() == name)
            return host.get();
    }
    return nullptr;
}

void CMainDlg::ShowElement(const std::string& name, bool visible)
{
    Skin::Element* element = FindElement(name);
    if (!element || !element->control)
        return;
    if (visible)
        element->control->Show();
    else
        element->control->Hide();
}

void CMainDlg::SetLabel(const std::string& name, const std::string& text)
{
    Skin::Element* element = FindElement(name);
    if (auto* label = element ? dynamic_cast<Skin::SkinText*>(element->control) : nullptr)
        label->SetText(text);
}

void CMainDlg::PlaceElement(Skin::Element& element, int x, int y, int width, int height)
{
    auto* control = dynamic_cast<Skin::SkinControl*>(element.control);
    if (!control || element.window != window())
        return;
    Gtk::Widget& widget = control->widget();
    widget.set_size_request(std::max(0, width), std::max(0, height));
    // A web view keeps asking for the size it had; it is given the new one as well.
    if (auto* web = dynamic_cast<Skin::SkinWeb*>(control))
        gtk_widget_set_size_request(GTK_WIDGET(web->view()), std::max(0, width), std::max(0, height));
    ControlLayer().move(widget, x, y);
}

Skin::TabDlg* CMainDlg::TabDialog() const
{
    if (!m_skin)
        return nullptr;
    for (const auto& window : m_skin->windows) {
        if (auto* tab = dynamic_cast<Skin::TabDlg*>(window->tab_dialog.get()))
            return tab;
    }
    return nullptr;
}

void CMainDlg::ShowTabDialog(bool visible)
{
    Skin::TabDlg* tab = TabDialog();
    Gtk::Window* window = tab ? tab->GetWindow() : nullptr;
    if (!window)
        return;
    if (visible) {
        tab->Reposition();
        window->show();
    } else {
        window->hide();
    }
}

std::string CMainDlg::LoginPageAddress(bool logged_out) const
{
    AppSettings settings;
    settings.load();
    return service_address::login_page_address(paths::join(SkinsFolder(), "Kalvo"), settings.username,
        settings.password, settings.remember_user, settings.auto_login, logged_out);
}

void CMainDlg::RunScriptIn(const std::string& element, const std::string& script)
{
    if (WebHost* host = FindWebHost(element))
        host->RunScript(script);
}

// ---- Line state and the main page

void CMainDlg::OnLineStateMsg(int event)
{
    CallManager& manager = CallManager::instance();
    if (manager.wizard_mode()) {
        wiz_echo_event(event, 0);
        return;
    }
    if (event == LINESTATE_REGISTERING) {
        Log("LINESTATE_REGISTERING");
        return;
    }
    if (event == LINESTATE_REGISTER_FAILED) {
        log_file_line("LINESTATE - LINESTATE_REGISTER_FAILED");
        return;
    }
    if (event != LINESTATE_REGISTERED)
        return;

    log_file_line("LINESTATE - LINESTATE_REGISTERED");
    registry_string install_path(settings_path("install_path"));
    if (install_path.get().empty())
        install_path.set(paths::user_data_dir());
    WebHost* content = FindWebHost("content");
    if (content)
        content->GrantPermission();
    if (!m_logged_in) {
        ShowElement("content", false);
        NavigateContent(service_address::file_address(paths::join(SkinsFolder(), "Kalvo/blank.html")));
    }
    SetLabel("label_username", m_display_name);
    LoginValues reply = m_login_values->get();
    SetLabel("label_details", reply.account_details);
    m_timers.set_timer(kClockTimer, 1000);
    SetLabel("label_voicemail", presentation::kNoMessages);
    m_timers.set_timer(kVoicemailTimer, 120000);
    for (const char* name : {"voicemail", "label_time", "label_voicemail", "label_username", "label_details"})
        ShowElement(name, true);
    if (Skin::Window* skin_window = window()) {
        for (const auto& element : skin_window->elements) {
            if (element->control &&
                (element->command == "tabs_main" || element->tab.strip_name == "tabs_main"))
                element->control->Show();
        }
    }
    if (Skin::Element* page = FindElement("content"); page && page->loginheight > 0) {
        int bottom = page->y + page->height;
        PlaceElement(*page, page->x, bottom - page->loginheight, page->width, page->loginheight);
    }
    m_login.OnRegistered();
    Log("LINESTATE_REGISTERED");
    if (m_tray) {
        m_tray->set_logged_in(true);
        m_tray->enable_logout(true);
    }
    ShowTabDialog(true);
    if (FindWebHost("tab"))
        Log("********** Got our tab web element");
    else
        Log("********** Error getting tab web element");

    if (!m_logged_in)
        LoadMainPage();
    if (!m_logged_in)
        ShowElement("content", true);
    m_logged_in = true;
    Redraw();
}

void CMainDlg::LoadMainPage()
{
    AppSettings settings;
    settings.load();
    registry_string install_path(settings_path("install_path"));
    main_page::Choice choice = main_page::load(
        settings.username, settings.password, install_path.get(), SkinsFolder(), Deployment::get());
    for (const std::string& line : choice.log)
        Log(line);
    Log(choice.address);
    NavigateContent(choice.address);

    // The information page was opened for the user stored at start; open it for the
    // account that just signed in, so the window shows that account's notice.
    if (WebHost* info = FindWebHost("info"))
        info->Navigate(
            service_address::web_start_address("info", SkinsFolder(), settings, Deployment::get()));
    LoginValues reply = m_login_values->get();
    InfoDlg::instance().OnLoginInfoVersion(reply.info_version, reply.show_info);
}

// ---- Calls

void CMainDlg::OnCallStateMsg(int event)
{
    Log("********** In OnCallStateMsg");
    CallManager& manager = CallManager::instance();
    if (manager.wizard_mode()) {
        wiz_echo_event(event, 1);
        return;
    }
    switch (event) {
    case CALLSTATE_OFFERING:
        Log("********** Sending incoming event");
        break;
    case CALLSTATE_REMOTE_OFFERING:
    case CALLSTATE_REMOTE_ALERTING:
        Log("********** Sending ringing event");
        break;
    case CALLSTATE_CONNECTED:
        Log("********** Sending connected event");
        break;
    case CALLSTATE_DISCONNECTED:
        Log("********** Sending disconnected event");
        break;
    case CALLSTATE_DESTROYED:
        Log("********** Sending destroyed event");
        break;
    default:
        return;
    }
    std::optional<std::string> script = presentation::call_script(event, manager.remote_user());
    if (script)
        RunMainScript(*script);
    if (event != CALLSTATE_DISCONNECTED && event != CALLSTATE_DESTROYED)
        return;
    manager.end_call();
    if (event == CALLSTATE_DISCONNECTED) {
        // A disconnect also runs the destroyed steps; the second end_call finds no call.
        Log("********** Sending destroyed event");
        RunMainScript(presentation::disconnected_script());
        manager.end_call();
    }
}

void CMainDlg::OnVoicemailCount(int count)
{
    SetLabel("label_voicemail", presentation::voicemail_text(count));
}

void CMainDlg::OnLevelsMsg()
{
    int input = -100, output = -100;
    CallManager::instance().get_levels(input, output);
    RunMainScript(presentation::level_script(true, input + 100));
    RunMainScript(presentation::level_script(false, output + 100));
}

void CMainDlg::OnCallButton(const std::string&, bool pressed)
{
    if (pressed)
        return;
    Skin::Element* address = FindElement("address");
    auto* input = address ? dynamic_cast<Skin::SkinInput*>(address->control) : nullptr;
    if (!input)
        return;
    CallManager::instance().place_call(input->GetText());
    if (Skin::Element* connection = FindElement("connection")) {
        for (size_t i = 0; i < connection->images.size(); ++i) {
            if (connection->images[i].name == "disconnect")
                connection->state = static_cast<int>(i);
        }
        if (connection->control)
            connection->control->Redraw();
    }
}

void CMainDlg::OnConnectOrHandup(const std::string&, bool pressed)
{
    if (pressed)
        return;
    Log("Checking call state in OnConnectOrHandup");
    CallManager::instance().end_call();
    RunMainScript(presentation::disconnected_script());
}

void CMainDlg::OnAnswer(const std::string&, bool)
{
    Log("Answering call");
    CallManager::instance().answer();
}

void CMainDlg::OnReject(const std::string&, bool)
{
    CallManager::instance().reject();
}

void CMainDlg::OnVoicemailButton(const std::string&, bool)
{
    CallManager::instance().place_call("voicemail");
}

// ---- Dispatcher actions

void CMainDlg::Log(const std::string& line)
{
    LogDlg::instance().append(line);
}

void CMainDlg::ShowAndRaise()
{
    ShowWindow(true);
    ShowTabDialog(true);
}

void CMainDlg::RunMainScript(const std::string& script)
{
    RunScriptIn("content", script);
}

void CMainDlg::StartLogin()
{
    start_login_thread();
}

void CMainDlg::KeepAccount(const std::string& user, const std::string& password)
{
    AppSettings settings;
    settings.load();
    settings.username = user;
    settings.password = password;
    settings.save();
    m_display_name = user;
    m_password = password;
    m_login.set_credentials(user, password);
}

void CMainDlg::PlaceCall(const std::string& number)
{
    CallManager::instance().place_call(number);
}

void CMainDlg::Hold(bool on_hold)
{
    CallManager::instance().hold(on_hold);
}

void CMainDlg::Mute(bool muted)
{
    CallManager::instance().mute(muted);
}

void CMainDlg::NavigateContent(const std::string& address)
{
    if (WebHost* host = FindWebHost("content"))
        host->Navigate(address);
}

void CMainDlg::NavigateTab(const std::string& address)
{
    if (WebHost* host = FindWebHost("tab"))
        host->Navigate(address);
}

void CMainDlg::ReloadTab()
{
    if (WebHost* host = FindWebHost("tab"))
        host->Navigate(host->CurrentAddress());
}

void CMainDlg::OpenTab()
{
    Log("********** OpenTab");
    if (Skin::TabDlg* tab = TabDialog())
        tab->Open();
}

void CMainDlg::CloseTab()
{
    Log("********** CloseTab");
    if (Skin::TabDlg* tab = TabDialog())
        tab->Close();
}

void CMainDlg::ShowInfo(const std::string& address)
{
    // Every program-started navigation is granted: the web host does it for "info" too.
    WebHost* host = FindWebHost("info");
    if (!host)
        return;
    InfoDlg::instance().Show();
    host->Navigate(address);
}

bool CMainDlg::AskWizard()
{
    AppSettings settings;
    settings.load();
    return WizardDlg(settings).DoModal(GetWindow()) == WizardDlg::kYes;
}

void CMainDlg::RunWizard()
{
    Log("Starting wizard");
    CallManager& manager = CallManager::instance();
    if (manager.in_call()) {
        ::message_box("You cannot run this wizard during a call.\nPlease hangup your call and try again.",
            "Please hangup", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
        return;
    }
    manager.set_wizard_mode(true);
    int result = run_setup_wizard(GetWindow());
    Log(result == 1 ? std::string("Got IDOK") : "Got return value: " + std::to_string(result));
    manager.set_wizard_mode(false);
    manager.end_call();
}

void CMainDlg::RunOptionsSheet()
{
    Log("OnSettingsMsg");
    COptionsSheet sheet;
    sheet.run_sheet(GetWindow());
}

void CMainDlg::ShowToast(const std::string& text)
{
    if (m_toast)
        m_toast->show_toast(text);
}

void CMainDlg::HideToast()
{
    if (m_toast)
        m_toast->hide_toast();
}

// ---- LoginHost

int CMainDlg::message_box(const std::string& text, const std::string& title, BoxStyle style)
{
    if (style == BoxStyle::Error) {
        ::message_box(text, title, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
        return IDOK;
    }
    return ::message_box(text, title, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_YES_NO) == Gtk::RESPONSE_YES ? IDYES
                                                                                                      : IDNO;
}

void CMainDlg::set_account_type(const std::string& type)
{
    CallManager::instance().set_account_type(type);
}

void CMainDlg::set_outbound_proxy(const std::string& host)
{
    CallManager::instance().set_outbound_proxy(host);
}

void CMainDlg::login(const std::string& user, const std::string& password)
{
    CallManager::instance().login(user, password);
}

bool CMainDlg::wizard_mode() const
{
    return CallManager::instance().wizard_mode();
}

void CMainDlg::post_login_message()
{
    ui_thread::post(this, messages::UWM_LOGIN_MSG);
}

void CMainDlg::post_close()
{
    ui_thread::post(this, messages::WM_CLOSE);
}

void CMainDlg::start_login_thread()
{
    Log("Creating LoginThread");
    LoginAttempt attempt;
    attempt.main_window = this;
    attempt.values = m_login_values;
    attempt.local_version = local_product_version();
    login_thread::start(std::move(attempt));
}

void CMainDlg::start_update_worker(const std::string& address)
{
    UpdateDownload download;
    download.main_window = this;
    download.address = address;
    download.progress = ProgressDlg::instance().progress_callback();
    update_worker::start(std::move(download));
}

void CMainDlg::MessageBox(const std::string& text)
{
    ::message_box(text, "Kalvo", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
}

void CMainDlg::OpenInBrowser(const std::string& address)
{
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(address.c_str(), nullptr, &error)) {
        // The address may carry the password ("account"): only the host goes to the log.
        Log("Could not open a page of " + Deployment::host_of(address) +
            " in the browser: " + (error ? error->message : "unknown error"));
        g_clear_error(&error);
    }
}

std::string CMainDlg::SkinsFolder() const
{
    return Skin::Loader::SkinsFolder();
}

// ---- window.external

void CMainDlg::ShowProfile()
{
    AppSettings settings;
    settings.load();
    OpenInBrowser(Deployment::get().web_http + "/account/login.php?user=" +
        percent_encode(settings.username) + "&pass=" + cMD5::hex_digest(settings.password));
}

void CMainDlg::ShowHistory()
{
    AppSettings settings;
    settings.load();
    OpenInBrowser(Deployment::get().secure_http +
        "/account/login.php?user=" + percent_encode(settings.username) +
        "&pass=" + cMD5::hex_digest(settings.password) + "&page=calls.php");
}

void CMainDlg::ShowRegister()
{
    RunMainScript("window.location.href = '" + Deployment::get().secure_https + "/live/register.php';");
}

void CMainDlg::SetUsername(const std::string& text)
{
    AppSettings settings;
    settings.load();
    settings.username = text;
    settings.save();
}

void CMainDlg::SetPassword(const std::string& text)
{
    AppSettings settings;
    settings.load();
    settings.password = text;
    settings.save();
}

bool CMainDlg::ShowConfirm(const std::string& text)
{
    return ::message_box(text, "Confirmation", Gtk::MESSAGE_WARNING, Gtk::BUTTONS_YES_NO) ==
        Gtk::RESPONSE_YES;
}

void CMainDlg::SendToTab(const std::string& text)
{
    Log("********** SendToTab" + text);
    Log("********** Sending Javascript to tab:" + text);
    RunScriptIn("tab", text);
    Log("********** Here");
}

void CMainDlg::SendToMain(const std::string& text)
{
    Log("********** SendToMain" + text);
    RunMainScript(text);
}

void CMainDlg::SetTab(const std::string& text)
{
    Log("********** SetTab" + text);
    if (m_skin)
        m_skin->SelectTab("tabs_main", "tab_main_" + text);
}

void CMainDlg::StartDTMF(const std::string& text)
{
    Log("********** Got a tone start event");
    if (std::optional<int> tone = dtmf_tone(text))
        CallManager::instance().start_tone(*tone, true, true);
}

void CMainDlg::EndDTMF(const std::string& text)
{
    Log("********** Got a tone end event");
    if (std::optional<int> tone = dtmf_tone(text))
        CallManager::instance().end_tone(*tone);
}
