#include "base/gpu.h"

#include <filesystem>

namespace gpu {

bool present()
{
    static const bool found = [] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error))
            if (entry.path().filename().string().rfind("renderD", 0) == 0)
                return true;
        return false;
    }();
    return found;
}

} // namespace gpu
