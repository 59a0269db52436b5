#include "ui/main/main_dlg.h"

#include <gtkmm.h>
#include <utility>

#include "base/main_loop.h"
#include "base/messages.h"
#include "log/log_dlg.h"
#include "net/http_request.h"
#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "skin/definition.h"
#include "skin/tab_dlg.h"
#include "telephony/call_manager.h"
#include "ui/handset/handset.h"
#include "ui/main/call_events.h"
#include "ui/main/main_window.h"
#include "ui/main/skin_buttons.h"
#include "ui/main/window_placement.h"
#include "ui/web/command_text.h"

namespace {

void log(const std::string& line)
{
    LogDlg::instance().append(line);
}

} // namespace

CMainDlg::CMainDlg(bool startup_launch)
    : m_startup_launch(startup_launch), m_calls(CallManager::instance()),
      m_timers([this](unsigned id) { OnTimer(id); }), m_screen(*this),
      m_sign_in(
          *this, [this] { return GetWindow(); }, m_screen, m_calls, m_timers,
          [this](bool logged_in) { m_line.set_logged_in(logged_in); }),
      m_line(m_screen, m_calls, m_timers, m_sign_in.handshake(), m_sign_in.reply()),
      m_call(m_screen, m_calls), m_dialogs([this] { return GetWindow(); }, m_calls,
                                     [this](const std::string& text) { PostCommandText(text); }),
      m_menus([this] { return GetWindow(); }, m_screen, [this] { return m_line.logged_in(); },
          [this](unsigned id) { ui_thread::post(this, messages::WM_COMMAND, id); }),
      m_commands(
          {m_screen, m_call, m_line, m_sign_in, m_dialogs, m_menus, [this] { Show(); }, [this] { Exit(); }}),
      m_dispatcher(m_commands, Deployment::get()), m_pending(m_dispatcher),
      m_handset(std::make_unique<Handset>(*this, m_commands))
{
}

CMainDlg::~CMainDlg()
{
    WebHost::SetExternal(nullptr);
}

bool CMainDlg::Create()
{
    m_window = std::make_unique<MainWindow>(MainWindow::Handlers{
        .close = [this] { OnClose(); },
        .escape = [this] { OnCommand(ID_CANCEL); },
        .quit = [this] { OnCommand(ID_EXIT_FILE); },
        .key = [this](unsigned keyval) { m_commands.OnKey(keyval); },
        .moved = [this] { OnMoved(); },
        .stopped_moving = [this](int x, int y) { OnStoppedMoving(x, y); },
    });
    OnInitDialog();
    return true;
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
    m_screen.SetSkin(m_skin.get());
    if (!m_skin)
        return;
    m_skin->built.connect([this] {
        m_screen.AttachWebHosts([this](const std::string& url) { OnHook(url); });
        connect_skin_buttons(*m_skin,
            {.calls = m_call,
                .commands = m_commands,
                .view = m_screen,
                .close = [this] { OnClose(); },
                .command = [this](unsigned id) { OnCommand(id); },
                .menu = [this](int type,
                            bool pressed) { ui_thread::post(this, messages::UWM_MENU_MSG, type, pressed); }});
        m_pending.SetReady();
    });
}

void CMainDlg::OnInitDialog()
{
    AppSettings settings;
    settings.load();
    m_window->MoveToStart(settings.window_x, settings.window_y);

    m_screen.CreateTray(
        !m_startup_launch || settings.auto_start, [this](unsigned id) { OnCommand(id); },
        [this] { ui_thread::send(this, messages::UWM_SHOWTAB_MSG); });

    curl_global_once();
    m_call_events = std::make_unique<CallEvents>(CallManager::instance(), *this,
        CallEvents::Actions{
            .voicemail_count = [this](int count) { m_line.OnVoicemailCount(count); },
            .show_register_page =
                [this] {
                    m_screen.Navigate("content", service_address::register_wizard_page(Deployment::get()));
                },
            .sign_out = [this] { m_line.SignOut(); },
            .missed_call = [this](const std::string& caller) { m_dialogs.ShowMissedCall(caller); },
        });
    CallManager::instance().init();

    m_line.StartHostCheck();
    m_timers.set_timer(kAudioCheckTimer, 5000);
    m_line.set_logged_in(false);
    m_timers.set_timer(Handset::kOpenTimer, Handset::kOpenPeriodMilliseconds);
}

void CMainDlg::SkinApplied()
{
    m_screen.ShowElement("voicemail", false);
    m_screen.SetContentLayout(MainView::ContentLayout::Start);
    WebHost::SetExternal(&m_commands);
    m_screen.ShowMainTabs(false);
}

ui_thread::Result CMainDlg::handle_message(
    ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam)
{
    int event = static_cast<int>(wparam);
    switch (message) {
    case messages::WM_COMMAND:
        OnCommand(static_cast<unsigned>(wparam));
        break;
    case messages::WM_CLOSE:
        OnClose();
        break;
    case messages::UWM_CALLSTATE_MSG:
        m_call.OnCallState(event, messages::call_state_call(lparam));
        break;
    case messages::UWM_LINESTATE_MSG:
        m_line.OnLineState(event);
        break;
    case messages::UWM_IM_SEND_MSG:
        return m_handset->OnYealink(wparam, lparam);
    case messages::UWM_SETTINGS_MSG:
        m_dialogs.RunOptionsSheet();
        break;
    case messages::UWM_CONFIGSTATE_MSG:
        m_sign_in.handshake().OnConfigState(event);
        break;
    case messages::UWM_MENU_MSG:
        m_menus.ShowUnderButton(event);
        break;
    case messages::UWM_SHOWTAB_MSG:
        if (m_screen.TabDialog()) {
            if (m_line.logged_in())
                m_screen.ShowTabDialog(false);
            m_timers.set_timer(kShowTabTimer, 10);
        }
        break;
    case messages::UWM_LOGINCHECK_MSG:
        m_sign_in.start_login_thread();
        break;
    case messages::UWM_LOGIN_MSG:
        m_sign_in.OnLoginMessage();
        break;
    case messages::UWM_DO_CONNECTION_MSG:
        m_sign_in.handshake().OnDoConnection();
        break;
    case messages::UWM_LEVELS_MSG:
        m_call.OnLevels();
        break;
    default:
        break;
    }
    return 0;
}

ui_thread::Result CMainDlg::handle_text_message(ui_thread::Message message, const std::string& text)
{
    if (message == messages::WM_COPYDATA)
        OnCopyData(text);
    else if (message == messages::UWM_DO_UPDATE_MSG)
        m_sign_in.handshake().OnDoUpdate(text);
    else if (message == messages::UWM_UPDATE_DONE_MSG)
        m_sign_in.handshake().OnUpdateDone(text);
    else if (message == messages::UWM_CMDDATA_MSG)
        // After any command still running (its modal window).
        m_pending.Dispatch(text, CommandSource::Program);
    return message == messages::WM_COPYDATA ? 1 : 0;
}

void CMainDlg::OnCommand(unsigned id)
{
    m_commands.OnMenuCommand(id);
}

void CMainDlg::OnCopyData(const std::string& text)
{
    // A later start handed over its command line: come forward, and carry out its link.
    log("Command line from a later start: " + service_address::mask_password_in_address(text));
    ShowWindow(true);
    DispatchWhenReady(text);
}

void CMainDlg::DispatchWhenReady(const std::string& text)
{
    if (command_text::has_url_command(text))
        m_pending.Dispatch(text, CommandSource::Outside);
}

void CMainDlg::PostCommandText(const std::string& text)
{
    log("Sending copy data message to main thread");
    ui_thread::post_text(this, messages::UWM_CMDDATA_MSG, text);
}

void CMainDlg::OnHook(const std::string& url)
{
    if (std::optional<std::string> text = command_text::wrap(url))
        PostCommandText(*text);
    else
        log("Command link refused: longer than the command buffer");
}

void CMainDlg::OnTimer(unsigned id)
{
    if (m_sign_in.handshake().OnTimer(id) || m_line.OnTimer(id))
        return;
    switch (id) {
    case kShowTabTimer:
        Redraw();
        m_screen.ShowTabDialog(true);
        m_timers.kill_timer(kShowTabTimer);
        break;
    case kAudioCheckTimer:
        log("Checking audio devices");
        m_timers.kill_timer(kAudioCheckTimer);
        break;
    case Handset::kOpenTimer:
        m_handset->OnOpenTimer();
        break;
    default:
        break;
    }
}

void CMainDlg::OnMoved()
{
    // The tab dialog stays docked beside the window as it moves.
    if (Skin::TabDlg* tab = m_screen.TabDialog())
        tab->Reposition();
}

void CMainDlg::OnStoppedMoving(int x, int y)
{
    Redraw();
    if (m_line.logged_in())
        m_screen.ShowTabDialog(true);
    store_window_position(x, y);
}

void CMainDlg::Show()
{
    ShowWindow(true);
    if (m_line.logged_in())
        m_screen.ShowTabDialog(true);
    m_timers.set_timer(kShowTabTimer, 10);
}

void CMainDlg::OnClose()
{
    m_dialogs.AskOnClose();
    ShowWindow(false);
    m_screen.ShowTabDialog(false);
}

void CMainDlg::Exit()
{
    m_screen.RemoveTray();
    m_screen.ShowTabDialog(false);
    m_timers.kill_all();
    if (m_window)
        m_window->hide();
    main_loop::quit(0);
}
