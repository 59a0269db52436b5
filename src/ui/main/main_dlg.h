#pragma once
#include <boost/signals2/connection.hpp>
#include <memory>
#include <string>
#include <vector>

#include "base/timer_table.h"
#include "base/ui_thread.h"
#include "skin/dialog.h"
#include "ui/handset/handset.h"
#include "ui/main/login_handshake.h"
#include "ui/main/tray_icon.h"
#include "ui/web/command_dispatcher.h"
#include "ui/web/external_methods.h"

namespace Skin {
class Definition;
struct Element;
class TabDlg;
} // namespace Skin
class WebHost;
class CTaskbarNotifier;
class TrayIcon;
class LoginReplyValues;

// The application's one top-level window: a skinned dialog bound to the skin's "main"
// window whose surface is mostly the "content" web page. Worker threads and later starts
// reach it only through its message handler (ui_thread::post / send); pages reach it
// through window.external and kalvo: commands.
class CMainDlg : public ui_thread::MessageTarget,
                 public Skin::Dialog,
                 public MainActions,
                 public ExternalHost,
                 public LoginHost,
                 public HandsetHost {
public:
    // Menu and dialog command ids the window handles; the tray menu's are the tray icon's.
    enum Command : unsigned {
        ID_CANCEL = 2,
        ID_SETTINGS_TRAY = TrayIcon::ID_SETTINGS,
        ID_SHOW = TrayIcon::ID_SHOW,
        ID_EXIT_TRAY = TrayIcon::ID_EXIT,
        ID_SHOW_LOG = 0x800F,
        ID_WIZARD_TRAY = TrayIcon::ID_WIZARD,
        ID_NOTHING = 0x8013,
        ID_WIZARD_FILE = 0x8019,
        ID_SETTINGS_FILE = 0x801A,
        ID_EXIT_FILE = 0x801E,
        ID_ABOUT = 0x801F,
        ID_MY_ACCOUNT = 0x8021,
        ID_ACCESS_NUMBERS = 0x8022,
        ID_KNOWLEDGE_BASE = 0x8025,
        ID_LOGOUT_TRAY = TrayIcon::ID_LOGOUT,
        ID_LOGOUT_FILE = 0x802F,
        ID_APP_ABOUT = 0xE140,
    };

    // `startup_launch`: started by the desktop's log-in autostart ("/startup").
    explicit CMainDlg(bool startup_launch);
    ~CMainDlg() override;

    // Creates the window (hidden) and runs its initialisation. False when it cannot.
    bool Create();
    bool IsWindow() const;
    void ShowWindow(bool visible);
    bool IsVisible() const;

    // The loaded skin, kept for the life of the window (the start-up binds it).
    void SetSkin(std::unique_ptr<Skin::Definition> skin);

    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam) override;
    void OnCommand(unsigned id);

    // Carries out the "/url" link of a command line once the skin is up (at once when it
    // is); a command line without one does nothing.
    void DispatchWhenReady(const std::string& command_line);
    bool logged_in() const { return m_logged_in; }

    // Skin::Dialog
    Gtk::Window* GetWindow() override;
    void SkinApplied() override;

    // MainActions (the command dispatcher)
    void Log(const std::string& line) override;
    void ShowAndRaise() override;
    void RunMainScript(const std::string& script) override;
    void StartLogin() override;
    void KeepAccount(const std::string& user, const std::string& password) override;
    void SetLoggedIn(bool logged_in) override { m_logged_in = logged_in; }
    void PlaceCall(const std::string& number) override;
    void Hold(bool on_hold) override;
    void Mute(bool muted) override;
    void Hangup() override { OnConnectOrHandup("hangup", false); }
    void Answer() override { OnAnswer("answer", false); }
    void Reject() override { OnReject("reject", false); }
    void NavigateContent(const std::string& address) override;
    void NavigateTab(const std::string& address) override;
    void ReloadTab() override;
    void OpenTab() override;
    void ShowInfo(const std::string& address) override;
    bool ShowPageMenu(int type, int x, int y) override;
    bool AskWizard() override;
    void RunWizard() override;
    void RunOptionsSheet();
    // HandsetHost
    void RunContentScript(const std::string& script) override { RunMainScript(script); }
    void AppendLog(const std::string& line) override { Log(line); }
    void ShowToast(const std::string& text) override;
    void HideToast() override;
    void MessageBox(const std::string& text) override;
    void OpenInBrowser(const std::string& address) override;
    std::string SkinsFolder() const override;

    // LoginHost (the sign-in hand-shake)
    void set_timer(unsigned id, unsigned milliseconds) override { m_timers.set_timer(id, milliseconds); }
    void kill_timer(unsigned id) override { m_timers.kill_timer(id); }
    int message_box(const std::string& text, const std::string& title, BoxStyle style) override;
    void set_account_type(const std::string& type) override;
    void set_outbound_proxy(const std::string& host) override;
    void login(const std::string& user, const std::string& password) override;
    bool wizard_mode() const override;
    void run_page_script(const std::string& script) override { RunMainScript(script); }
    void navigate_content(const std::string& url) override { NavigateContent(url); }
    void navigate_tab(const std::string& url, int) override { NavigateTab(url); }
    void set_logged_in(bool logged_in) override { m_logged_in = logged_in; }
    void post_login_message() override;
    void post_close() override;
    void start_login_thread() override;
    void start_update_worker(const std::string& address) override;

    // ExternalHost (window.external)
    void ShowWizard() override { RunWizard(); }
    void CloseTab() override;
    void ShowProfile() override;
    void ShowHistory() override;
    void ShowRegister() override;
    void Logout() override;
    void SetUsername(const std::string& text) override;
    void SetPassword(const std::string& text) override;
    bool ShowConfirm(const std::string& text) override;
    void SendToTab(const std::string& text) override;
    void SendToMain(const std::string& text) override;
    void SetTab(const std::string& text) override;
    void StartDTMF(const std::string& text) override;
    void EndDTMF(const std::string& text) override;

private:
    class Window;

    enum Timer : unsigned {
        kShowTabTimer = 3,
        kHostCheckTimer = 4,
        kAudioCheckTimer = 6,
        kClockTimer = 10,
        kVoicemailTimer = 11,
        kHandsetTimer = 13,
        kMoveEndTimer = 1000, // the window stopped moving (no window message tells)
    };

    void OnInitDialog();
    void ConnectCallManager();
    void ConnectSkinCommands();
    void AttachWebHosts();
    void OnCopyData(const std::string& text);
    void OnTimer(unsigned id);
    void OnClose();
    void OnExitSizeMove();
    void Exit();
    void Show();
    void OnMenuMsg(int type);
    void OnHook(const std::string& url);
    void OnKey(unsigned keyval);

    // Line and call presentation
    void OnLineStateMsg(int event);
    void LoadMainPage();
    void OnCallStateMsg(int event);
    void OnVoicemailCount(int count);
    void OnLevelsMsg();
    void OnCallButton(const std::string& command, bool pressed);
    void OnConnectOrHandup(const std::string& command, bool pressed);
    void OnAnswer(const std::string& command, bool pressed);
    void OnReject(const std::string& command, bool pressed);
    void OnVoicemailButton(const std::string& command, bool pressed);

    // Skin helpers: a missing element does nothing.
    Skin::Element* FindElement(const std::string& name) const;
    WebHost* FindWebHost(const std::string& name) const;
    void ShowElement(const std::string& name, bool visible);
    void SetLabel(const std::string& name, const std::string& text);
    void PlaceElement(Skin::Element& element, int x, int y, int width, int height);
    Skin::TabDlg* TabDialog() const;
    void ShowTabDialog(bool visible);
    std::string LoginPageAddress(bool logged_out) const;
    void RunScriptIn(const std::string& element, const std::string& script);

    bool m_startup_launch;
    std::unique_ptr<Window> m_window;
    std::unique_ptr<Skin::Definition> m_skin;
    std::vector<std::unique_ptr<WebHost>> m_hosts;
    std::vector<boost::signals2::scoped_connection> m_connections;
    TimerTable m_timers;
    CommandDispatcher m_dispatcher;

    bool m_logged_in = false;
    bool m_menu_shown = false;
    std::string m_display_name;
    std::string m_password;
    std::shared_ptr<LoginReplyValues> m_login_values;
    LoginHandshake m_login;
    std::unique_ptr<Handset> m_handset;
    std::unique_ptr<CTaskbarNotifier> m_toast;
    std::unique_ptr<TrayIcon> m_tray;
    // Links forwarded by later starts before the skin was up; run once it is.
    std::vector<std::string> m_early_commands;
    bool m_skin_built = false;
};
