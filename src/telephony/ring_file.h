#pragma once
#include <string>

// The WAV file an incoming call rings with: "ringtone.wav" in the installation folder
// ("install_path", by default the per-user data folder), else the packaged one.
std::string ring_file_path();
