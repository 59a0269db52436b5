#pragma once
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/levelbar.h>

#include "base/timer_table.h"
#include "base/ui_thread.h"
#include "ui/web/html_label.h"
#include "ui/wizard/echo_steps.h"

class COptionsWizard;

// The echo test's process-wide state, shared by the shown page and the event entry.
struct EchoTestState {
    bool in_test = false;
    class CWizEchoPage* page = nullptr;
    static EchoTestState& instance();
};

// Line (kind 0) and call (kind 1) events of the SIP stack while the wizard mode is set;
// the main window hands them here on the interface thread.
void wiz_echo_event(int code, int kind);

// Wizard page 3: registers the stored account, calls the echo number and shows the steps,
// the live microphone and speaker levels, and asks whether the user heard themselves.
class CWizEchoPage : public Gtk::Box, public ui_thread::MessageTarget {
public:
    static constexpr unsigned kLevelTimer = 0;
    static constexpr unsigned kLevelPeriodMs = 100;
    static constexpr unsigned kRegistrationTimer = 1;
    static constexpr unsigned kRegistrationTimeoutMs = 20000;

    explicit CWizEchoPage(COptionsWizard& wizard);
    ~CWizEchoPage() override;

    void initialise();
    void on_activate();
    void on_finish();
    void on_event(int code, int kind);
    void on_timer(unsigned id);

    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam, ui_thread::LParam) override;

    Gtk::Button& call_button() { return m_call_button; }
    Gtk::Button& yes_button() { return m_yes; }
    Gtk::Button& no_button() { return m_no; }
    Gtk::LevelBar& microphone_bar() { return m_microphone_bar; }
    Gtk::LevelBar& headset_bar() { return m_headset_bar; }
    HtmlLabel& icons_label() { return m_icons; }
    HtmlLabel& steps_label() { return m_steps; }
    const echo_steps::Display& display() const { return m_display; }
    TimerTable& timers() { return m_timers; }

private:
    void on_call_button();
    void start_test();
    void cancel_test();
    void on_heard();
    void on_not_heard();
    // Cancel or an answer: the call ends and the test is idle with this display.
    void stop_test(const echo_steps::Display& display);
    // The test is over: answer buttons off, bars at 0, level refresh stopped.
    void end_test(const char* button_text);
    void show(const echo_steps::Display& display);
    void set_bars(int microphone, int speaker);
    void set_answer_buttons(bool enabled);

    COptionsWizard& m_wizard;
    HtmlLabel m_header; // 1024
    Gtk::Button m_call_button; // 1030
    Gtk::LevelBar m_headset_bar; // 1016
    Gtk::LevelBar m_microphone_bar; // 1015
    HtmlLabel m_icons; // 1032
    HtmlLabel m_steps; // 1033
    Gtk::Button m_yes; // 1047
    Gtk::Button m_no; // 1049
    echo_steps::Display m_display;
    TimerTable m_timers;
};
