#pragma once

// Where the main window opens: centred (screen width / 2 - 150, screen height / 2 - 262),
// unless the saved position is inside the screen and neither coordinate is zero.
struct WindowPosition {
    int x;
    int y;
};

inline constexpr int kMainWindowWidth = 300;
inline constexpr int kMainWindowHeight = 523;

WindowPosition initial_window_position(int screen_width, int screen_height, int saved_x, int saved_y);

// Stores where the window was left, when it moved.
void store_window_position(int x, int y);
