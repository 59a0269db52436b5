#pragma once
#include <functional>
#include <string>
#include <utility>

#include "base/ui_thread.h"

// What the handset needs from the main window.
class HandsetHost {
public:
    virtual ~HandsetHost() = default;
    // Runs a script in the "content" page (the script bridge).
    virtual void RunContentScript(const std::string& script) = 0;
    // Appends a line to the log window.
    virtual void AppendLog(const std::string& line) = 0;
};

// The main window's side of the USB handset. The window wires it in like this:
//   - during dialog initialisation, arm timer kOpenTimer every kOpenPeriodMilliseconds and
//     call OnOpenTimer() on each tick;
//   - hand UWM_IM_SEND_MSG (messages.h) to OnYealink and return its result.
// Key presses arrive from the driver's reader thread through handset_callback, which
// sends UWM_IM_SEND_MSG to the window and waits, so keys reach the page one at a time
// and in order, on the interface thread.
class Handset {
public:
    static constexpr unsigned kOpenTimer = 13;
    static constexpr unsigned kOpenPeriodMilliseconds = 1000;

    // Opens the driver with the window as the callback's context; true when it opened.
    using Opener = std::function<bool(ui_thread::MessageTarget* window)>;
    static bool OpenDriver(ui_thread::MessageTarget* window);

    Handset(ui_thread::MessageTarget& window, HandsetHost& host, Opener opener = OpenDriver);

    // Tries to open the handset until it succeeds; a failed attempt is silent.
    void OnOpenTimer();
    // Runs the page script of a key press (event handset::kKeyEvent); always 0.
    ui_thread::Result OnYealink(ui_thread::WParam wparam, ui_thread::LParam lparam);

    bool IsOpen() const { return m_handset_open; }

private:
    ui_thread::MessageTarget& m_window;
    HandsetHost& m_host;
    Opener m_opener;
    bool m_handset_open = false;
};

// The driver callback: sends UWM_IM_SEND_MSG (event, key) to the window `context` and
// returns its result.
long handset_callback(long event, long key, void* context);
