// The launcher's splash library: its two exported entries (see launch_splash.h).
#include "ui/launch_splash/launch_splash.h"
#include "ui/launch_splash/x11_splash.h"

extern "C" __attribute__((visibility("default"))) void* kalvo_launch_splash_show(
    const char* image_path, int* x, int* y)
{
    std::unique_ptr<launch_splash::X11Splash> splash = launch_splash::X11Splash::show(image_path ? image_path : "");
    if (!splash)
        return nullptr;
    *x = splash->placement().x;
    *y = splash->placement().y;
    return splash.release();
}

extern "C" __attribute__((visibility("default"))) void kalvo_launch_splash_close(void* splash)
{
    delete static_cast<launch_splash::X11Splash*>(splash);
}
