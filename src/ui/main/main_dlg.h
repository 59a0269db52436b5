#pragma once
#include "app/ui_thread.h"

#include <memory>
#include <string>

namespace single_instance {
class Server;
}

// The application's one top-level window. Worker threads and later starts reach it only
// through its message handler (ui_thread::post / send).
class CMainDlg : public ui_thread::MessageTarget {
public:
    // Menu and dialog command ids the window handles.
    enum Command : unsigned {
        ID_CANCEL = 2,
        ID_SHOW = 0x8009,
        ID_EXIT_TRAY = 0x800A,
        ID_SHOW_LOG = 0x800F,
        ID_NOTHING = 0x8013,
        ID_EXIT_FILE = 0x801E,
    };

    explicit CMainDlg(std::string command_line);
    ~CMainDlg() override;

    // Creates the window (hidden) and runs its initialisation. False when it cannot.
    bool Create();
    bool IsWindow() const;
    void ShowWindow(bool visible);
    bool IsVisible() const;

    ui_thread::Result handle_message(ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam) override;
    void OnCommand(unsigned id);

    const std::string& command_line() const { return m_command_line; }

private:
    class Window;

    void OnInitDialog();
    void OnCopyData(const std::string& text);
    void Exit();

    std::string m_command_line;
    std::unique_ptr<Window> m_window;
    std::unique_ptr<single_instance::Server> m_instance_server;
};
