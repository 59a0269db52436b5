#include "app/instance_server.h"

#include "base/messages.h"
#include "log/log_dlg.h"
#include "log/log_file.h"

namespace single_instance {
namespace {

Launch listen_now()
{
    Launch launch;
    launch.listen_fd = listen_socket(launch.listen_error);
    return launch;
}

} // namespace

Server::Server() : Server(listen_now())
{
}

Server::Server(Launch launch) : m_listen_fd(launch.listen_fd)
{
    if (m_listen_fd < 0) {
        LogDlg::instance().append("Could not listen for later starts: " + launch.listen_error);
        return;
    }
    for (Forwarded& forwarded : launch.arrived)
        hand_over(std::move(forwarded));
    m_listener = std::make_unique<Listener>(m_listen_fd, [this](Forwarded forwarded) { hand_over(std::move(forwarded)); });
}

Server::~Server()
{
    m_listener.reset();
    stop_listening(m_listen_fd);
}

void Server::deliver_to(ui_thread::MessageTarget* window)
{
    std::lock_guard lock(m_mutex);
    m_window = window;
    for (std::string& text : m_waiting)
        ui_thread::post_text(m_window, messages::WM_COPYDATA, std::move(text));
    m_waiting.clear();
}

void Server::hand_over(Forwarded forwarded)
{
    if (forwarded.refused_length > 0)
        log_file::write_line("INSTANCE - Command line from a later start refused: " +
            std::to_string(forwarded.refused_length) + " bytes, longer than the command buffer");
    // Posted under the lock, so texts waiting for deliver_to() keep their place.
    std::lock_guard lock(m_mutex);
    if (m_window)
        ui_thread::post_text(m_window, messages::WM_COPYDATA, std::move(forwarded.text));
    else
        m_waiting.push_back(std::move(forwarded.text));
}

} // namespace single_instance
