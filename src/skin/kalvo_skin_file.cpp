#include "skin/kalvo_skin_file.h"

#include <filesystem>

#include "settings/paths.h"
#include "skin/loader.h"

std::string kalvo_skin_file(const std::string& name)
{
    std::error_code ignored; // an unreadable current folder leaves the path as it is
    std::string file = paths::join(paths::join(Skin::Loader::SkinsFolder(), "Kalvo"), name);
    std::filesystem::path absolute = std::filesystem::absolute(file, ignored);
    return absolute.empty() ? file : absolute.lexically_normal().string();
}
