#pragma once

namespace Skin {

enum class TabState { Closed = 0, Opening = 1, Open = 2, Closing = 3 };

// The motion of a slide-out tab window, tick by tick: it hides behind its parent with
// only the grip showing, and slides out to the left 9 pixels every 10 ms.
class TabSlide {
public:
    static constexpr int kStep = 9;
    static constexpr int kTickMilliseconds = 10;
    // Clicks below this client row are not on the grip.
    static constexpr int kGripBottom = 482;

    enum class Tick { Moving, Opened, Closed };

    TabSlide(int window_width, int grip_width);

    // Closed, no offset, no motion.
    void Reset();
    void Open();
    void Close();
    // Advances one tick; reports when the motion has ended.
    Tick Advance();
    // A left-button release at a client point: true when it lies on the grip.
    bool IsGripClick(int x, int y) const;

    // Where the window's top-left goes for an anchor point on the screen.
    int Left(int anchor_x) const { return anchor_x + m_offset_x - m_grip_width; }
    int Top(int anchor_y) const { return anchor_y + m_offset_y; }

    TabState state() const { return m_state; }
    int offset_x() const { return m_offset_x; }
    int offset_y() const { return m_offset_y; }
    bool moving() const { return m_state == TabState::Opening || m_state == TabState::Closing; }

private:
    int m_window_width;
    int m_grip_width;
    TabState m_state = TabState::Closed;
    int m_offset_x = 0;
    int m_offset_y = 0;
    int m_step_x = 0;
    int m_step_y = 0;
};

} // namespace Skin
