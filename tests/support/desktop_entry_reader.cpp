#include "support/desktop_entry_reader.h"

#include <glib.h>

namespace test_support {

std::string desktop_entry_value(const std::string& file, const std::string& key)
{
    std::string value;
    GKeyFile* keys = g_key_file_new();
    if (g_key_file_load_from_file(keys, file.c_str(), G_KEY_FILE_NONE, nullptr)) {
        gchar* text = g_key_file_get_string(keys, G_KEY_FILE_DESKTOP_GROUP, key.c_str(), nullptr);
        if (text)
            value = text;
        g_free(text);
    }
    g_key_file_free(keys);
    return value;
}

std::vector<std::string> desktop_exec_arguments(const std::string& file)
{
    std::vector<std::string> arguments;
    gchar** argv = nullptr;
    std::string exec = desktop_entry_value(file, G_KEY_FILE_DESKTOP_KEY_EXEC);
    if (!exec.empty() && g_shell_parse_argv(exec.c_str(), nullptr, &argv, nullptr)) {
        for (gchar** argument = argv; *argument; ++argument) {
            // The launcher reads "%%" as "%" after the split; field codes such as %u stay.
            std::string text = *argument;
            for (auto at = text.find("%%"); at != std::string::npos; at = text.find("%%", at + 1))
                text.erase(at, 1);
            arguments.push_back(text);
        }
        g_strfreev(argv);
    }
    return arguments;
}

} // namespace test_support
