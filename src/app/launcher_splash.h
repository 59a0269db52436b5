#pragma once

// The splash the launcher put up while the program's libraries loaded, if it did: where
// it stands (the program's own splash takes its place) and how to take it down.
struct LauncherSplash {
    int x = 0;
    int y = 0;
    void (*close)(void* handle) = nullptr;
    void* handle = nullptr;

    bool shown() const { return handle != nullptr; }
    void take_down()
    {
        if (handle)
            close(handle);
        handle = nullptr;
    }
};
