#pragma once
#include <string>

// The desktop's log-in start of Kalvo: $XDG_CONFIG_HOME/autostart/kalvo.desktop starts the
// executable with /startup, and exists exactly while the auto_start setting is on. Whoever
// saves auto_start from the user's choice applies it here.
namespace autostart {

// $XDG_CONFIG_HOME/autostart/kalvo.desktop.
std::string entry_path();

// The entry's text for an executable.
std::string desktop_entry(const std::string& executable);

// Writes the entry (only when it differs) when `enabled`, removes it otherwise. Returns
// false and logs a line when the file could not be written or removed.
bool apply(bool enabled, const std::string& executable);

} // namespace autostart
