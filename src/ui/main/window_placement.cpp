#include "ui/main/window_placement.h"

#include "settings/app_settings.h"

WindowPosition initial_window_position(int screen_width, int screen_height, int saved_x, int saved_y)
{
    bool saved_inside = saved_x != 0 && saved_y != 0 && saved_x > 0 && saved_x <= screen_width &&
        saved_y > 0 && saved_y <= screen_height;
    if (saved_inside)
        return {saved_x, saved_y};
    return {screen_width / 2 - kMainWindowWidth / 2, screen_height / 2 - 262};
}

void store_window_position(int x, int y)
{
    AppSettings settings;
    settings.load();
    if (settings.window_x == x && settings.window_y == y)
        return;
    settings.window_x = x;
    settings.window_y = y;
    settings.save();
}
