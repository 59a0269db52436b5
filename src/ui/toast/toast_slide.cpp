#include "ui/toast/toast_slide.h"

#include <algorithm>

namespace toast_slide {

TaskbarSide taskbar_side(const Rect& work_area, const Rect& screen)
{
    if (work_area.width < screen.width)
        return work_area.x > screen.x ? TaskbarSide::Left : TaskbarSide::Right;
    if (work_area.height < screen.height && work_area.y > screen.y)
        return TaskbarSide::Top;
    return TaskbarSide::Bottom;
}

namespace {

unsigned step_delay(unsigned total, int edge, int increment)
{
    int steps = std::max(edge / increment, 1);
    return std::max(total / static_cast<unsigned>(steps), kMinimumTimerDelay);
}

int step(int from, int to, int increment)
{
    return from < to ? std::min(from + increment, to) : std::max(from - increment, to);
}

} // namespace

void Slide::set_size(int width, int height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
}

bool Slide::start(const Durations& durations, const Rect& work_area, const Rect& screen)
{
    if (m_width <= 0 || m_height <= 0)
        return false;
    m_durations = durations;
    m_durations.increment = std::max(durations.increment, 1);
    m_side = taskbar_side(work_area, screen);

    bool horizontal = m_side == TaskbarSide::Left || m_side == TaskbarSide::Right;
    int edge = horizontal ? m_width : m_height;
    m_appearing_delay = step_delay(m_durations.appearing, edge, m_durations.increment);
    m_disappearing_delay = step_delay(m_durations.disappearing, edge, m_durations.increment);

    // Aligned with the far corner: the bottom edge for a side taskbar, the right edge
    // for a top or bottom one.
    switch (m_side) {
    case TaskbarSide::Bottom:
        m_shown_x = m_hidden_x = work_area.right() - m_width;
        m_shown_y = work_area.bottom() - m_height;
        m_hidden_y = work_area.bottom();
        break;
    case TaskbarSide::Top:
        m_shown_x = m_hidden_x = work_area.right() - m_width;
        m_shown_y = work_area.y;
        m_hidden_y = work_area.y - m_height;
        break;
    case TaskbarSide::Left:
        m_shown_y = m_hidden_y = work_area.bottom() - m_height;
        m_shown_x = work_area.x;
        m_hidden_x = work_area.x - m_width;
        break;
    case TaskbarSide::Right:
        m_shown_y = m_hidden_y = work_area.bottom() - m_height;
        m_shown_x = work_area.right() - m_width;
        m_hidden_x = work_area.right();
        break;
    }

    switch (m_state) {
    case State::Idle:
        m_x = m_hidden_x;
        m_y = m_hidden_y;
        m_host.show_on_top();
        m_host.place(m_x, m_y);
        m_state = State::Appearing;
        m_host.set_timer(kAppearingTimer, m_appearing_delay);
        break;
    case State::Appearing:
        // Carries on sliding out from where it stands, with the new text.
        m_host.repaint();
        m_host.set_timer(kAppearingTimer, m_appearing_delay);
        break;
    case State::Showing:
        m_host.repaint();
        m_host.set_timer(kShowingTimer, m_durations.showing);
        break;
    case State::Disappearing:
        m_host.kill_timer(kDisappearingTimer);
        m_x = m_shown_x;
        m_y = m_shown_y;
        m_host.place(m_x, m_y);
        m_host.repaint();
        m_state = State::Showing;
        m_host.set_timer(kShowingTimer, m_durations.showing);
        break;
    }
    return true;
}

bool Slide::step_towards(int target_x, int target_y)
{
    m_x = step(m_x, target_x, m_durations.increment);
    m_y = step(m_y, target_y, m_durations.increment);
    m_host.place(m_x, m_y);
    return m_x == target_x && m_y == target_y;
}

void Slide::on_timer(unsigned id)
{
    if (id == kAppearingTimer && m_state == State::Appearing) {
        if (step_towards(m_shown_x, m_shown_y)) {
            m_host.kill_timer(kAppearingTimer);
            m_state = State::Showing;
            m_host.set_timer(kShowingTimer, m_durations.showing);
        }
    } else if (id == kShowingTimer && m_state == State::Showing) {
        m_host.kill_timer(kShowingTimer);
        m_state = State::Disappearing;
        m_host.set_timer(kDisappearingTimer, m_disappearing_delay);
    } else if (id == kDisappearingTimer && m_state == State::Disappearing) {
        if (step_towards(m_hidden_x, m_hidden_y)) {
            m_host.kill_timer(kDisappearingTimer);
            hide();
        }
    } else {
        // A timer that outlived its state (it cannot normally fire): stop it.
        m_host.kill_timer(id);
    }
}

void Slide::hide()
{
    m_host.kill_timer(kAppearingTimer);
    m_host.kill_timer(kShowingTimer);
    m_host.kill_timer(kDisappearingTimer);
    m_x = m_y = 0;
    m_host.hide();
    m_state = State::Idle;
}

} // namespace toast_slide
