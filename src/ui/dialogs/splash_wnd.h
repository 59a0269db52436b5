#pragma once
#include <memory>
#include <string>

#include "app/timer_table.h"
#include "app/ui_thread.h"

class CMainDlg;

// The start-up splash window. It drives the last start-up steps (skin, first showing of
// the main window) from a message it posts to itself, and hides itself at the first
// 50 ms tick after start-up has finished.
class CSplashWnd : public ui_thread::MessageTarget {
public:
    CSplashWnd(CMainDlg* main_dialog, std::string command_line, std::string image_path);
    ~CSplashWnd() override;

    // Creates the window at (0, 0) with the image's size (500 x 300 without one). May end
    // the process with 0 for a start-up launch that is not wanted.
    void Create();
    void SetStatus(const std::string& text);

    bool finished() const { return m_finished; }
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam, ui_thread::LParam) override;

private:
    class Window;

    void OnCreate();
    void OnStartup();
    void OnTimer(unsigned id);
    void OnClose();

    CMainDlg* m_main;
    std::string m_command_line;
    std::string m_image_path;
    unsigned m_period_ms = 100;
    bool m_finished = false;
    std::unique_ptr<Window> m_window;
    TimerTable m_timers;
};
