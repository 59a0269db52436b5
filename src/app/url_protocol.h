#pragma once
#include <string>

// Registers Kalvo as the handler of kalvo: links with the desktop: a desktop entry
// $XDG_DATA_HOME/applications/kalvo-url-handler.desktop that starts the running
// executable with /url and the link, and the default in $XDG_CONFIG_HOME/mimeapps.list.
// Files are rewritten only when they differ.
namespace url_protocol {

inline constexpr const char* kDesktopFileName = "kalvo-url-handler.desktop";
inline constexpr const char* kMimeType = "x-scheme-handler/kalvo";

std::string desktop_entry(const std::string& executable);

// mimeapps.list text with the kalvo: default set, keeping every other line of `current`.
std::string with_default_handler(const std::string& current);

// Writes both files when they differ; failures are ignored (logged).
void register_handler(const std::string& executable);

} // namespace url_protocol
