#include "telephony/ring_file.h"

#include <filesystem>

#include "settings/app_settings.h"
#include "settings/paths.h"
#include "settings/registry.h"

std::string ring_file_path()
{
    registry_string install_path(settings_path("install_path"));
    std::string folder = install_path.exists() ? install_path.get() : paths::user_data_dir();
    std::string installed = paths::join(folder, "ringtone.wav");
    std::error_code ignored;
    if (std::filesystem::is_regular_file(installed, ignored))
        return installed;
    return paths::join(paths::packaged_data_dir(), "sounds/ringtone.wav");
}
