#include "ui/web/pending_commands.h"

#include <utility>

#include "ui/web/command_dispatcher.h"

void PendingCommands::Dispatch(const std::string& text)
{
    if (m_ready)
        m_dispatcher.Dispatch(text);
    else
        m_waiting.push_back(text);
}

void PendingCommands::SetReady()
{
    m_ready = true;
    for (const std::string& text : std::exchange(m_waiting, {}))
        m_dispatcher.Dispatch(text);
}
