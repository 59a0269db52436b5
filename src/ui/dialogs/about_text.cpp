#include "ui/dialogs/about_text.h"

std::string about_version_text(const std::string& product_version)
{
    std::string version;
    for (size_t i = 0; i < product_version.size(); ++i) {
        if (product_version.compare(i, 2, ", ") == 0) {
            version += '.';
            ++i;
        } else {
            version += product_version[i];
        }
    }
    return "Version " + version;
}
