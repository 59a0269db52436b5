#include "ui/web/crash_reloads.h"

bool CrashReloads::Allow(Clock::time_point now)
{
    while (!m_recent.empty() && now - m_recent.front() >= kWindow)
        m_recent.pop_front();
    if (static_cast<int>(m_recent.size()) >= kMaxReloads)
        return false;
    m_recent.push_back(now);
    return true;
}
