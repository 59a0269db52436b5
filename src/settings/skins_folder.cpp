#include "settings/skins_folder.h"

#include "settings/app_settings.h"
#include "settings/paths.h"
#include "settings/registry.h"

std::string skins_directory()
{
    registry_string folder(settings_path("Skins Directory"));
    if (!folder.exists())
        folder.set(paths::packaged_skins_dir());
    return folder.get();
}

std::string kalvo_skin_file(const std::string& name)
{
    return paths::join(paths::join(skins_directory(), "Kalvo"), name);
}
