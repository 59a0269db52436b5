#pragma once
#include <string>

// The skins folder ("Skins Directory"); when the value is missing it is first set to the
// packaged skins folder.
std::string skins_directory();

// A file of the skin "Kalvo" in the skins folder ("login.html", "about.png").
std::string kalvo_skin_file(const std::string& name);
