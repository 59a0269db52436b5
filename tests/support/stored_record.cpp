#include "support/stored_record.h"

#include <glib.h>

#include "settings/registry_store.h"

namespace test_support {

std::optional<std::map<std::string, std::string>> stored_record()
{
    GKeyFile* file = g_key_file_new();
    std::optional<std::map<std::string, std::string>> record;
    if (g_key_file_load_from_file(file, registry_store::file_path().c_str(), G_KEY_FILE_NONE, nullptr)) {
        record.emplace();
        gchar** names = g_key_file_get_keys(file, "Software\\Kalvo", nullptr, nullptr);
        for (gchar** name = names; name && *name; ++name) {
            gchar* value = g_key_file_get_string(file, "Software\\Kalvo", *name, nullptr);
            (*record)[*name] = value ? value : "";
            g_free(value);
        }
        g_strfreev(names);
    }
    g_key_file_free(file);
    return record;
}

} // namespace test_support
