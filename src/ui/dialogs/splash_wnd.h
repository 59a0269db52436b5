#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/timer_table.h"
#include "base/ui_thread.h"

// The start-up splash window. It runs the last start-up steps (given by the start-up:
// skin, first showing of the main window) from a message it posts to itself, and hides
// itself at the first 50 ms tick after they have finished.
class CSplashWnd : public ui_thread::MessageTarget {
public:
    struct Steps {
        std::function<void()> startup; // run once, from the posted start-up message
        std::function<void()> closed; // the splash was closed by the user
        // Once: the window is on the screen, or is hidden before it got there.
        std::function<void()> on_screen;
    };
    struct Position {
        int x = 0;
        int y = 0;
    };

    // `paint_image` false: a hidden start-up launch paints no image. Without a position
    // the window is centred on the screen.
    CSplashWnd(std::string image_path, bool paint_image, std::optional<Position> position, Steps steps);
    ~CSplashWnd() override;

    // Creates the window at (0, 0) with the image's size (500 x 300 without one).
    void Create();
    void SetStatus(const std::string& text);
    // The browser setting known to break the pages: an error box when it is set.
    void CheckBrowserSetting();

    bool finished() const { return m_finished; }
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam, ui_thread::LParam) override;

private:
    class Window;

    void OnCreate();
    void OnStartup();
    void OnTimer(unsigned id);
    void OnClose();
    void Hide();
    void TellOnScreen();

    std::string m_image_path;
    bool m_paint_image;
    std::optional<Position> m_position;
    Steps m_steps;
    bool m_told_on_screen = false;
    unsigned m_period_ms = 100;
    bool m_finished = false;
    std::unique_ptr<Window> m_window;
    TimerTable m_timers;
};
