#pragma once

// The toast's slide: where the taskbar is, where the toast stands, and the animation
// through its states idle → appearing (timer 1) → showing (timer 2) → disappearing
// (timer 3) → idle. Plain C++: the window side implements Host with real timers and a
// real window, tests drive it tick by tick.
namespace toast_slide {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
};

enum class TaskbarSide { Bottom, Top, Left, Right };

// On the left when the work area is narrower than the screen and starts right of the
// screen's left edge; on the right when narrower and starting at it; at the top when
// shorter and starting below the screen's top; otherwise at the bottom.
TaskbarSide taskbar_side(const Rect& work_area, const Rect& screen);

enum class State { Idle, Appearing, Showing, Disappearing };

enum TimerId : unsigned { kAppearingTimer = 1, kShowingTimer = 2, kDisappearingTimer = 3 };

// Window timers never fire faster than this, so a long edge with a short appearing
// time still slides (the step delay 100 ms ÷ 120 steps would otherwise be 0).
inline constexpr unsigned kMinimumTimerDelay = 10;

struct Durations {
    unsigned appearing = 100; // ms for the whole slide out
    unsigned showing = 10000; // ms fully shown
    unsigned disappearing = 100; // ms for the whole slide back
    int increment = 1; // pixels per step
};

class Slide {
public:
    // What the slide asks of the window it moves.
    class Host {
    public:
        virtual ~Host() = default;
        virtual void set_timer(unsigned id, unsigned milliseconds) = 0;
        virtual void kill_timer(unsigned id) = 0;
        // Shows the window at (x, y) with the toast's size, without activating it or
        // changing its stacking.
        virtual void place(int x, int y) = 0;
        // Shows the window and raises it above others (the start of a slide).
        virtual void show_on_top() = 0;
        virtual void repaint() = 0;
        // Moves the window to (0, 0) with size 0 × 0 and hides it.
        virtual void hide() = 0;
    };

    explicit Slide(Host& host) : m_host(host) { }

    // The toast's size (the skin image's). A toast with no size cannot be shown.
    void set_size(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Starts (or refreshes) the toast over a work area inside a screen. False, with
    // nothing changed, when the toast has no size.
    bool start(const Durations& durations, const Rect& work_area, const Rect& screen);
    void on_timer(unsigned id);
    // Back to idle at once from any state.
    void hide();

    State state() const { return m_state; }
    TaskbarSide side() const { return m_side; }
    int x() const { return m_x; }
    int y() const { return m_y; }
    unsigned appearing_delay() const { return m_appearing_delay; }
    unsigned disappearing_delay() const { return m_disappearing_delay; }

private:
    bool step_towards(int target_x, int target_y);

    Host& m_host;
    int m_width = 0;
    int m_height = 0;
    Durations m_durations;
    unsigned m_appearing_delay = kMinimumTimerDelay;
    unsigned m_disappearing_delay = kMinimumTimerDelay;
    TaskbarSide m_side = TaskbarSide::Bottom;
    State m_state = State::Idle;
    int m_x = 0, m_y = 0; // current position
    int m_shown_x = 0, m_shown_y = 0; // fully shown, just inside the work area
    int m_hidden_x = 0, m_hidden_y = 0; // just outside the work area on the taskbar side
};

} // namespace toast_slide
