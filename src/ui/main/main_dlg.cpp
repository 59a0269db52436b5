#include "ui/main/main_dlg.h"

#include <gtkmm.h>
#include <netdb.h>
#include <utility>

#include "base/main_loop.h"
#include "base/messages.h"
#include "log/log_dlg.h"
#include "net/http_request.h"
#include "net/login_reply_values.h"
#include "net/login_thread.h"
#include "net/service_addresses.h"
#include "net/update_worker.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/registry.h"
#include "skin/definition.h"
#include "skin/skin_web.h"
#include "skin/tab_dlg.h"
#include "telephony/call_manager.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/log_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/minimize_dlg.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/gui_loop.h"
#include "ui/main/key_codes.h"
#include "ui/main/main_menus.h"
#include "ui/main/presentation_text.h"
#include "ui/main/tray_icon.h"
#include "ui/main/window_placement.h"
#include "ui/toast/taskbar_notifier.h"
#include "ui/web/command_text.h"
#include "ui/web/web_host.h"

namespace {

// Whether the service's web host name resolves (the network is there).
bool web_host_resolves()
{
    std::string host = Deployment::host_of(Deployment::get().web_http);
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, nullptr, &found) != 0)
        return false;
    freeaddrinfo(found);
    return true;
}

} // namespace

class CMainDlg::Window : public Gtk::Window {
public:
    explicit Window(CMainDlg& owner) : m_owner(owner)
    {
        set_title("Kalvo");
        set_default_size(kMainWindowWidth, kMainWindowHeight);
        set_size_request(kMainWindowWidth, kMainWindowHeight);
        set_resizable(false);
        try {
            set_icon(Gdk::Pixbuf::create_from_resource("/kalvo/res/kalvo.png"));
        } catch (const Glib::Error&) {
        }
        add_events(Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK | Gdk::BUTTON_PRESS_MASK);
    }

protected:
    bool on_button_press_event(GdkEventButton* event) override
    {
        if (Gtk::Window::on_button_press_event(event))
            return true;
        // The skin's background is the caption: dragging it moves the borderless window.
        if (event->type == GDK_BUTTON_PRESS && event->button == 1) {
            begin_move_drag(static_cast<int>(event->button), static_cast<int>(event->x_root),
                static_cast<int>(event->y_root), event->time);
            return true;
        }
        return false;
    }

    bool on_delete_event(GdkEventAny*) override
    {
        // Closing hides the window; the program keeps running until Exit.
        m_owner.OnClose();
        return true;
    }

    bool on_key_press_event(GdkEventKey* event) override
    {
        if (event->keyval == GDK_KEY_Escape) {
            m_owner.OnCommand(ID_CANCEL);
            return true;
        }
        if ((event->state & GDK_CONTROL_MASK) && (event->keyval == GDK_KEY_q || event->keyval == GDK_KEY_Q)) {
            m_owner.OnCommand(ID_EXIT_FILE);
            return true;
        }
        m_owner.OnKey(event->keyval);
        return Gtk::Window::on_key_press_event(event);
    }

    bool on_key_release_event(GdkEventKey* event) override
    {
        m_owner.OnKey(event->keyval);
        return Gtk::Window::on_key_release_event(event);
    }

    bool on_configure_event(GdkEventConfigure* event) override
    {
        // The tab dialog stays docked beside the window as it moves; once the window has
        // stood still for a moment its position is stored.
        if (Skin::TabDlg* tab = m_owner.TabDialog())
            tab->Reposition();
        if (get_visible())
            m_owner.m_timers.set_timer(kMoveEndTimer, 400);
        return Gtk::Window::on_configure_event(event);
    }

private:
    CMainDlg& m_owner;
};

CMainDlg::CMainDlg(bool startup_launch)
    : m_startup_launch(startup_launch), m_timers([this](unsigned id) { OnTimer(id); }),
      m_dispatcher(*this, Deployment::get()), m_login_values(std::make_shared<LoginReplyValues>()),
      m_login(*this), m_handset(std::make_unique<Handset>(*this, *this))
{
}

CMainDlg::~CMainDlg()
{
    WebHost::SetExternal(nullptr);
    m_connections.clear();
}

bool CMainDlg::Create()
{
    m_window = std::make_unique<Window>(*this);
    OnInitDialog();
    return true;
}

bool CMainDlg::IsWindow() const
{
    return m_window != nullptr;
}

Gtk::Window* CMainDlg::GetWindow()
{
    return m_window.get();
}

void CMainDlg::ShowWindow(bool visible)
{
    if (!m_window)
        return;
    if (visible) {
        m_window->show();
        m_window->present();
    } else {
        m_window->hide();
    }
}

bool CMainDlg::IsVisible() const
{
    return m_window && m_window->get_visible();
}

void CMainDlg::SetSkin(std::unique_ptr<Skin::Definition> skin)
{
    m_skin = std::move(skin);
    if (!m_skin)
        return;
    m_skin->built.connect([this] {
        AttachWebHosts();
        ConnectSkinCommands();
        m_skin_built = true;
        for (const std::string& text : std::exchange(m_early_commands, {}))
            m_dispatcher.Dispatch(text);
    });
}

void CMainDlg::OnInitDialog()
{
    AppSettings settings;
    settings.load();
    GdkRectangle screen{0, 0, 1024, 768};
    if (GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default()))
        gdk_monitor_get_geometry(monitor, &screen);
    else if (GdkMonitor* first = gdk_display_get_monitor(gdk_display_get_default(), 0))
        gdk_monitor_get_geometry(first, &screen);
    WindowPosition position =
        initial_window_position(screen.width, screen.height, settings.window_x, settings.window_y);
    m_window->move(position.x, position.y);

    m_toast = std::make_unique<CTaskbarNotifier>();
    m_toast->set_command_handler([this](const std::string& text) {
        Log("Sending copy data message to main thread");
        ui_thread::post(
            this, messages::UWM_CMDDATA_MSG, 0, reinterpret_cast<ui_thread::LParam>(new std::string(text)));
    });
    m_tray = std::make_unique<TrayIcon>();
    m_tray->set_command_handler([this](unsigned id) { OnCommand(id); });
    m_tray->set_double_click_handler([this] { ui_thread::send(this, messages::UWM_SHOWTAB_MSG); });
    if (!m_startup_launch || settings.auto_start)
        m_tray->add();
    m_tray->enable_logout(false);

    curl_global_once();
    ConnectCallManager();
    CallManager::instance().init();

    m_timers.set_timer(kHostCheckTimer, 20000);
    m_timers.set_timer(kAudioCheckTimer, 5000);
    m_logged_in = false;
    m_timers.set_timer(kHandsetTimer, 1000);
}

void CMainDlg::ConnectCallManager()
{
    // Slots run on the SIP engine thread: they post, or hop to the interface thread
    // before touching a widget.
    CallManager& manager = CallManager::instance();
    m_connections.emplace_back(
        manager.call_state_changed.connect([this](SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause) {
            ui_thread::post(this, messages::UWM_CALLSTATE_MSG, event, cause);
        }));
    m_connections.emplace_back(manager.line_state_changed.connect(
        [this](SIPX_LINESTATE_EVENT event) { ui_thread::post(this, messages::UWM_LINESTATE_MSG, event); }));
    m_connections.emplace_back(manager.config_event.connect(
        [this](SIPX_CONFIG_EVENT event) { ui_thread::post(this, messages::UWM_CONFIGSTATE_MSG, event); }));
    m_connections.emplace_back(manager.messages_waiting.connect(
        [this](int count) { ui_thread::invoke([this, count] { OnVoicemailCount(count); }); }));
    m_connections.emplace_back(manager.show_register_page.connect([this] {
        ui_thread::invoke([this] {
            NavigateContent(Deployment::get().secure_https + "/client/req/register.php?wizard=true");
        });
    }));
    m_connections.emplace_back(
        manager.levels_changed.connect([this] { ui_thread::post(this, messages::UWM_LEVELS_MSG); }));
    m_connections.emplace_back(
        manager.logout_requested.connect([this] { ui_thread::invoke([this] { Logout(); }); }));
    m_connections.emplace_back(manager.login_check_requested.connect(
        [this] { ui_thread::post(this, messages::UWM_LOGINCHECK_MSG); }));
}

void CMainDlg::SkinApplied()
{
    ShowElement("voicemail", false);
    if (Skin::Element* content = FindElement("content"))
        PlaceElement(*content, content->x, content->y, content->width, content->height + 57);
    WebHost::SetExternal(this);
    if (Skin::Window* window = this->window()) {
        for (const auto& element : window->elements) {
            if (element->control &&
                (element->command == "tabs_main" || element->tab.strip_name == "tabs_main"))
                element->control->Hide();
        }
    }
}

void CMainDlg::AttachWebHosts()
{
    for (const auto& control : m_skin->controls) {
        auto* web = dynamic_cast<Skin::SkinWeb*>(control.get());
        if (!web)
            continue;
        if (web->element().command == "content")
            web->SetOwnerWindow(m_window.get());
        m_hosts.push_back(std::make_unique<WebHost>(*web, [this](const std::string& url) { OnHook(url); }));
    }
}

void CMainDlg::ConnectSkinCommands()
{
    using namespace std::placeholders;
    Skin::Definition& skin = *m_skin;
    skin.ConnectCommand("dial", std::bind(&CMainDlg::OnCallButton, this, _1, _2));
    skin.ConnectCommand("hangup", std::bind(&CMainDlg::OnConnectOrHandup, this, _1, _2));
    skin.ConnectCommand("answer", std::bind(&CMainDlg::OnAnswer, this, _1, _2));
    skin.ConnectCommand("reject", std::bind(&CMainDlg::OnReject, this, _1, _2));
    skin.ConnectCommand("voicemail", std::bind(&CMainDlg::OnVoicemailButton, this, _1, _2));
    skin.ConnectCommand("volume", [](const std::string&, bool) {});
    skin.ConnectCommand("gain", [](const std::string&, bool) {});
    skin.ConnectCommand("close", [this](const std::string&, bool pressed) {
        if (!pressed)
            OnClose();
    });
    skin.ConnectCommand("account", [this](const std::string&, bool pressed) {
        if (pressed)
            return;
        AppSettings settings;
        settings.load();
        OpenInBrowser(Deployment::get().web_http + "/account.php?user=" + settings.username +
            "&pass=" + settings.password);
    });
    skin.ConnectCommand("settings", [this](const std::string&, bool pressed) {
        if (!pressed)
            OnCommand(ID_SETTINGS_FILE);
    });
    int type = 1;
    for (const char* menu : {"menu_file", "menu_view", "menu_help"}) {
        skin.ConnectCommand(menu, [this, type](const std::string&, bool pressed) {
            ui_thread::post(this, messages::UWM_MENU_MSG, type, pressed);
        });
        ++type;
    }
    for (const char* tab : {"dial", "contacts", "history", "directory", "pro"}) {
        std::string name = tab;
        skin.ConnectCommand("tab_main_" + name, [this, name](const std::string&, bool pressed) {
            if (!pressed)
                return;
            Log(name);
            RunMainScript("showTab('" + name + "')");
        });
    }
}

ui_thread::Result CMainDlg::handle_message(
    ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam)
{
    switch (message) {
    case messages::UWM_IS_ME:
        return messages::UWM_IS_ME;
    case messages::WM_COPYDATA:
        OnCopyData(reinterpret_cast<const char*>(lparam));
        return 1;
    case messages::WM_COMMAND:
        OnCommand(static_cast<unsigned>(wparam));
        return 0;
    case messages::WM_CLOSE:
        OnClose();
        return 0;
    case messages::UWM_CALLSTATE_MSG:
        OnCallStateMsg(static_cast<int>(wparam));
        return 0;
    case messages::UWM_LINESTATE_MSG:
        OnLineStateMsg(static_cast<int>(wparam));
        return 0;
    case messages::UWM_IM_SEND_MSG:
        return m_handset->OnYealink(wparam, lparam);
    case messages::UWM_SETTINGS_MSG:
        RunOptionsSheet();
        return 0;
    case messages::UWM_CONFIGSTATE_MSG:
        m_login.OnConfigState(static_cast<int>(wparam));
        return 0;
    case messages::UWM_MENU_MSG:
        OnMenuMsg(static_cast<int>(wparam));
        return 0;
    case messages::UWM_SHOWTAB_MSG:
        if (TabDialog()) {
            if (m_logged_in)
                ShowTabDialog(false);
            m_timers.set_timer(kShowTabTimer, 10);
        }
        return 0;
    case messages::UWM_LOGINCHECK_MSG:
        start_login_thread();
        return 0;
    case messages::UWM_LOGIN_MSG:
        m_login.OnLogin(m_login_values->get());
        return 0;
    case messages::UWM_DO_CONNECTION_MSG:
        m_login.OnDoConnection();
        return 0;
    case messages::UWM_DO_UPDATE_MSG:
        m_login.OnDoUpdate(lparam ? reinterpret_cast<const char*>(lparam) : "");
        return 0;
    case messages::UWM_UPDATE_DONE_MSG:
        ui_thread::post(this, messages::WM_CLOSE);
        return 0;
    case messages::UWM_CMDDATA_MSG: {
        // The text travels in the message itself (see OnHook): take ownership.
        std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lparam));
        if (text)
            m_dispatcher.Dispatch(*text);
        return 0;
    }
    case messages::UWM_LEVELS_MSG:
        OnLevelsMsg();
        return 0;
    default:
        return 0;
    }
}

void CMainDlg::OnCommand(unsigned id)
{
    const Deployment& deployment = Deployment::get();
    switch (id) {
    case ID_SHOW:
        Show();
        break;
    case ID_SHOW_LOG:
        LogWindow::instance().present();
        break;
    case ID_SETTINGS_TRAY:
    case ID_SETTINGS_FILE:
        RunOptionsSheet();
        break;
    case ID_WIZARD_TRAY:
    case ID_WIZARD_FILE:
        RunWizard();
        break;
    case ID_LOGOUT_TRAY:
    case ID_LOGOUT_FILE:
        Logout();
        break;
    case ID_ABOUT:
    case ID_APP_ABOUT:
        CAboutDlg::Open();
        break;
    case ID_MY_ACCOUNT:
        ShowProfile();
        break;
    case ID_ACCESS_NUMBERS:
        OpenInBrowser(deployment.web_http + "/access_numbers.php");
        break;
    case ID_KNOWLEDGE_BASE:
        OpenInBrowser(deployment.web_http + "/kb/");
        break;
    case ID_EXIT_TRAY:
    case ID_EXIT_FILE:
    case ID_CANCEL:
        Exit();
        break;
    default:
        break;
    }
}

void CMainDlg::OnCopyData(const std::string& text)
{
    // A later start handed over its command line: come forward, and carry out its link.
    LogDlg::instance().append(
        "Command line from a later start: " + service_address::mask_password_in_address(text));
    ShowWindow(true);
    DispatchWhenReady(text);
}

void CMainDlg::DispatchWhenReady(const std::string& text)
{
    if (!command_text::has_url_command(text))
        return;
    if (m_skin_built)
        m_dispatcher.Dispatch(text);
    else
        m_early_commands.push_back(text);
}

void CMainDlg::OnHook(const std::string& url)
{
    std::optional<std::string> text = command_text::wrap(url);
    if (!text) {
        Log("Command link refused: longer than the command buffer");
        return;
    }
    Log("Sending copy data message to main thread");
    ui_thread::post(
        this, messages::UWM_CMDDATA_MSG, 0, reinterpret_cast<ui_thread::LParam>(new std::string(*text)));
}

void CMainDlg::OnKey(unsigned keyval)
{
    std::string script = presentation::focus_script(virtual_key_code(keyval));
    RunMainScript(script);
    Log(script);
}

void CMainDlg::OnTimer(unsigned id)
{
    if (m_login.OnTimer(id))
        return;
    switch (id) {
    case kShowTabTimer:
        Redraw();
        ShowTabDialog(true);
        m_timers.kill_timer(kShowTabTimer);
        break;
    case kHostCheckTimer:
        m_timers.kill_timer(kHostCheckTimer);
        if (!web_host_resolves()) {
            NavigateContent(LoginPageAddress(false));
            m_logged_in = false;
        }
        m_timers.set_timer(kHostCheckTimer, 20000);
        break;
    case kMoveEndTimer:
        m_timers.kill_timer(kMoveEndTimer);
        OnExitSizeMove();
        break;
    case kAudioCheckTimer:
        Log("Checking audio devices");
        m_timers.kill_timer(kAudioCheckTimer);
        break;
    case kClockTimer: {
        GDateTime* now = g_date_time_new_now_local();
        SetLabel(
            "label_time", presentation::clock_text(g_date_time_get_hour(now), g_date_time_get_minute(now)));
        g_date_time_unref(now);
        break;
    }
    case kVoicemailTimer:
        SetLabel("label_voicemail", presentation::kNoMessages);
        break;
    case kHandsetTimer:
        m_handset->OnOpenTimer();
        break;
    default:
        break;
    }
}

void CMainDlg::OnExitSizeMove()
{
    if (!m_window || !m_window->get_visible())
        return;
    Redraw();
    if (m_logged_in)
        ShowTabDialog(true);
    int x = 0, y = 0;
    m_window->get_position(x, y);
    AppSettings settings;
    settings.load();
    if (settings.window_x == x && settings.window_y == y)
        return;
    settings.window_x = x;
    settings.window_y = y;
    settings.save();
}

void CMainDlg::Show()
{
    ShowWindow(true);
    if (m_logged_in)
        ShowTabDialog(true);
    m_timers.set_timer(kShowTabTimer, 10);
}

void CMainDlg::OnClose()
{
    AppSettings settings;
    settings.load();
    MinimizeDlg(settings).DoModal(m_window.get());
    settings.save();
    ShowWindow(false);
    ShowTabDialog(false);
}

void CMainDlg::Exit()
{
    m_tray.reset();
    ShowTabDialog(false);
    m_timers.kill_all();
    if (m_window)
        m_window->hide();
    main_loop::quit(0);
}

void CMainDlg::Logout()
{
    m_timers.kill_timer(kLoginTimeoutTimer);
    if (m_tray) {
        m_tray->set_logged_in(false);
        m_tray->enable_logout(false);
    }
    AppSettings settings;
    settings.load();
    for (const char* name : {"voicemail", "label_time", "label_voicemail", "label_username", "label_details"})
        ShowElement(name, false);
    CallManager::instance().unregister();
    if (Skin::Element* content = FindElement("content"))
        PlaceElement(*content, content->x, content->y, content->width, content->height);
    NavigateContent(LoginPageAddress(true));
    m_logged_in = false;
    ShowTabDialog(false);
    std::string address = Deployment::get().secure_http + "/live/tab.php";
    Log("Opening URL " + address);
    NavigateTab(address);
}

void CMainDlg::OnMenuMsg(int type)
{
    Log("OnMenuMsg");
    m_menu_shown = true;
    Log("MENU TYPE:" + std::to_string(type));
    static const char* const buttons[] = {"menu_file", "menu_view", "menu_help"};
    if (type < 1 || type > 3)
        return;
    Skin::Element* element = FindElement(buttons[type - 1]);
    auto menu = main_menus::build(main_menus::kFile + type - 1, m_logged_in,
        [this](unsigned id) { ui_thread::post(this, messages::WM_COMMAND, id); });
    if (!element || !menu || !m_window)
        return;
    main_menus::run_popup(*menu, *m_window, element->x, element->y, element->width, element->height);
    m_menu_shown = false;
}

bool CMainDlg::ShowPageMenu(int type, int x, int y)
{
    Skin::Element* content = FindElement("content");
    auto menu = main_menus::build(main_menus::kFile + type - 1, m_logged_in,
        [this](unsigned id) { ui_thread::post(this, messages::WM_COMMAND, id); });
    if (!menu || !m_window)
        return false;
    int left = content ? content->x : 0;
    int top = content ? content->y : 0;
    main_menus::run_popup(*menu, *m_window, x + left, y + top, 1, 1);
    return true;
}
