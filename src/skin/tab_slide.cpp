#include "skin/tab_slide.h"

#include <cstdlib>

namespace Skin {

TabSlide::TabSlide(int window_width, int grip_width) : m_window_width(window_width), m_grip_width(grip_width)
{
}

void TabSlide::Reset()
{
    m_state = TabState::Closed;
    m_offset_x = m_offset_y = 0;
    m_step_x = m_step_y = 0;
}

void TabSlide::Open()
{
    m_step_x = -kStep;
    m_state = TabState::Opening;
}

void TabSlide::Close()
{
    m_step_x = kStep;
    m_state = TabState::Closing;
}

TabSlide::Tick TabSlide::Advance()
{
    m_offset_x += m_step_x;
    m_offset_y += m_step_y;
    if (m_state == TabState::Opening && std::abs(m_offset_x) >= m_window_width) {
        m_state = TabState::Open;
        m_step_x = m_step_y = 0;
        m_offset_x = m_grip_width - m_window_width;
        return Tick::Opened;
    }
    if (m_state == TabState::Closing && m_offset_x >= 0) {
        m_state = TabState::Closed;
        m_step_x = m_step_y = 0;
        m_offset_x = 0;
        return Tick::Closed;
    }
    return Tick::Moving;
}

bool TabSlide::IsGripClick(int x, int y) const
{
    return x >= 0 && x <= m_grip_width && y >= 0 && y <= kGripBottom;
}

} // namespace Skin
