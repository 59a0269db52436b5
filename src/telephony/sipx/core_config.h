#pragma once
#include <string>

// The SIP core's configuration file, written afresh at each start so that nothing of an
// earlier run (accounts above all) comes back.
struct CoreConfigOptions {
    std::string bind_address; // "" binds SIP and RTP to every interface
    int rtp_port_min = 0; // 0: the core chooses
    int rtp_port_max = 0;
    bool use_rport = true; // ask for the address the server saw (Via rport)
};

std::string core_config_text(const CoreConfigOptions& options);

// Folders of one core under the user's XDG folders, created with mode 0700; each path
// ends in "/" (the core requires it). folder_name tells simultaneous instances apart.
struct CoreFolders {
    std::string data_dir; // $XDG_DATA_HOME/kalvo/linphone/<name>/
    // An empty folder given to the media library as its plug-in folder (see core_folders).
    std::string plugins_dir;
    std::string config_dir; // $XDG_CONFIG_HOME/kalvo/linphone/<name>/
    std::string config_file; // config_dir + "linphonerc"
    bool ok = false; // both folders exist and are writable
};

CoreFolders core_folders(const std::string& folder_name);
