#include "telephony/sipx/core_config.h"

#include <sstream>
#include <unistd.h>

#include "settings/paths.h"

std::string core_config_text(const CoreConfigOptions& options)
{
    std::ostringstream out;
    out << "[sip]\n"
        << "use_ipv6=0\n"
        << "use_rport=" << (options.use_rport ? 1 : 0) << "\n"
        << "register_only_when_network_is_up=0\n"
        << "auto_net_state_mon=0\n"
        << "guess_hostname=1\n";
    if (!options.bind_address.empty())
        out << "bind_address=" << options.bind_address << "\n";
    out << "\n[rtp]\n";
    if (!options.bind_address.empty())
        out << "bind_address=" << options.bind_address << "\n";
    if (options.rtp_port_min > 0 && options.rtp_port_max >= options.rtp_port_min)
        out << "audio_rtp_port=" << options.rtp_port_min << "-" << options.rtp_port_max << "\n";
    out << "\n[sound]\n"
        << "echocancellation=0\n"
        << "agc=0\n"
        << "\n[video]\n"
        << "capture=0\n"
        << "display=0\n"
        << "automatically_initiate=0\n"
        << "automatically_accept=0\n";
    return out.str();
}

CoreFolders core_folders(const std::string& folder_name)
{
    CoreFolders folders;
    std::string data = paths::join(paths::join(paths::user_data_dir(), "linphone"), folder_name);
    std::string config = paths::join(paths::join(paths::config_dir(), "linphone"), folder_name);
    folders.data_dir = data + "/";
    folders.config_dir = config + "/";
    folders.config_file = folders.config_dir + "linphonerc";
    // The media library's installed plug-ins are video ones (a Qt and OpenGL display),
    // and loading them brings the Qt and GL libraries into a voice-only program.
    folders.plugins_dir = folders.data_dir + "no-plugins";
    folders.ok = paths::make_dirs(data) && paths::make_dirs(config) && paths::make_dirs(folders.plugins_dir) &&
        access(data.c_str(), W_OK) == 0 &&
        access(config.c_str(), W_OK) == 0;
    return folders;
}
