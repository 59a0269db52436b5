#pragma once
#include <string>

// A file of the skin "Kalvo" in the skins folder ("login.html", "about.png").
std::string kalvo_skin_file(const std::string& name);
