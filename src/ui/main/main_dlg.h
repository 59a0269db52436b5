#pragma once
#include <memory>
#include <string>

#include "base/timer_table.h"
#include "base/ui_thread.h"
#include "skin/dialog.h"
#include "ui/main/call_presenter.h"
#include "ui/main/line_presenter.h"
#include "ui/main/main_commands.h"
#include "ui/main/main_dialogs.h"
#include "ui/main/main_screen.h"
#include "ui/main/page_commands.h"
#include "ui/main/popup_menus.h"
#include "ui/main/sign_in.h"
#include "ui/web/command_dispatcher.h"
#include "ui/web/pending_commands.h"

class CallControl;
class CallEvents;
class Handset;
class MainWindow;

// The application's one top-level window: a skinned dialog bound to the skin's "main"
// window whose surface is mostly the "content" web page. It owns the roles that do the
// work (screen, sign-in, line and call presentation, dialogs, menus, page commands) and
// connects them in one place. Worker threads and later starts reach it only through its
// message handler (ui_thread::post / send); pages reach it through window.external and
// kalvo: commands.
class CMainDlg : public ui_thread::MessageTarget, public Skin::Dialog {
public:
    // `startup_launch`: started by the desktop's log-in autostart ("/startup").
    explicit CMainDlg(bool startup_launch);
    ~CMainDlg() override;

    // Creates the window (hidden) and runs its initialisation. False when it cannot.
    bool Create();
    void ShowWindow(bool visible);
    bool IsVisible() const;
    bool logged_in() const { return m_line.logged_in(); }

    // The loaded skin, kept for the life of the window (the start-up binds it).
    void SetSkin(std::unique_ptr<Skin::Definition> skin);
    // Carries out the "/url" link of a command line once the skin is up (at once when it
    // is); a command line without one does nothing.
    void DispatchWhenReady(const std::string& command_line);

    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam) override;
    ui_thread::Result handle_text_message(ui_thread::Message message, const std::string& text) override;
    void OnCommand(unsigned id);

    // Skin::Dialog
    Gtk::Window* GetWindow() override;
    void SkinApplied() override;

private:
    enum Timer : unsigned {
        kShowTabTimer = 3,
        kAudioCheckTimer = 6,
    };

    void OnInitDialog();
    void OnCopyData(const std::string& text);
    void PostCommandText(const std::string& text);
    void OnHook(const std::string& url);
    void OnTimer(unsigned id);
    void OnMoved();
    void OnStoppedMoving(int x, int y);
    void OnClose();
    void Show();
    void Exit();

    bool m_startup_launch;
    CallControl& m_calls;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Skin::Definition> m_skin;
    TimerTable m_timers;
    MainScreen m_screen;
    SignIn m_sign_in;
    LinePresenter m_line;
    CallPresenter m_call;
    MainDialogs m_dialogs;
    PopupMenus m_menus;
    PageCommands m_commands;
    CommandDispatcher m_dispatcher;
    PendingCommands m_pending; // one command at a time, once the skin is up
    std::unique_ptr<Handset> m_handset;
    std::unique_ptr<CallEvents> m_call_events;
};
