#include "ui/web/pending_commands.h"

#include "log/log_file.h"
#include "net/service_addresses.h"
#include "ui/web/command_dispatcher.h"

void PendingCommands::Dispatch(const std::string& text, CommandSource source)
{
    m_waiting.push_back({text, source});
    RunWaiting();
}

void PendingCommands::SetReady()
{
    m_ready = true;
    RunWaiting();
}

void PendingCommands::RunWaiting()
{
    if (!m_ready || m_running)
        return;
    m_running = true;
    while (!m_waiting.empty()) {
        auto [text, source] = std::move(m_waiting.front());
        m_waiting.pop_front();
        log_file::write_line("COMMAND - " + service_address::mask_password_in_address(text));
        m_dispatcher.Dispatch(text, source);
    }
    m_running = false;
}
