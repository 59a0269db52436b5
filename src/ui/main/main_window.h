#pragma once
#include <functional>
#include <gtkmm/window.h>

// The main window's borderless top-level window. Dragging the skin's background moves it;
// closing hides it (the owner decides); keys and moves are handed to the owner, and so is
// the place where a move ended (no window event tells: 400 ms without a move).
class MainWindow : public Gtk::Window {
public:
    struct Handlers {
        std::function<void()> close; // the window manager's close
        std::function<void()> escape;
        std::function<void()> quit; // Ctrl+Q
        std::function<void(unsigned keyval)> key; // every other key, pressed and released
        std::function<void()> moved; // a configure event (moved or resized)
        std::function<void(int x, int y)> stopped_moving; // shown, and still for a moment
    };

    explicit MainWindow(Handlers handlers);
    ~MainWindow() override;

    // Moves to where the window was left (when that is on the screen), else centres it.
    void MoveToStart(int saved_x, int saved_y);

protected:
    bool on_button_press_event(GdkEventButton* event) override;
    bool on_delete_event(GdkEventAny*) override;
    bool on_key_press_event(GdkEventKey* event) override;
    bool on_key_release_event(GdkEventKey* event) override;
    bool on_configure_event(GdkEventConfigure* event) override;

private:
    Handlers m_handlers;
    sigc::connection m_still_timer;
};
