#pragma once

// The splash the launcher puts up at once, from a small library of its own
// (libkalvo-splash.so: the X protocol library and the PNG reader, nothing else), while
// the program's libraries load. The program takes it down once its own splash is up.
namespace launch_splash {

inline constexpr const char* kLibrary = "libkalvo-splash.so";
inline constexpr const char* kShowName = "kalvo_launch_splash_show";
inline constexpr const char* kCloseName = "kalvo_launch_splash_close";

// Shows the image centred on the primary monitor and gives where it stands; null when
// there is no X display or the image cannot be shown.
using ShowFunction = void* (*)(const char* image_path, int* x, int* y);
using CloseFunction = void (*)(void* splash);

} // namespace launch_splash
