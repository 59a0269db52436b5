#pragma once
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/stack.h>

#include "base/ui_thread.h"
#include "ui/wizard/wiz_audio_page.h"
#include "ui/wizard/wiz_echo_page.h"
#include "ui/wizard/wiz_intro_page.h"

// The result of the setup wizard as the main window logs it.
enum WizardResult { kWizardNotRun = 0, kWizardOk = 1, kWizardCancel = 2 };

// Starts the setup wizard over `parent` (refused during a call), with the call manager's
// wizard mode set while it runs; the wizard's result.
int run_setup_wizard(Gtk::Window* parent);

// The setup wizard: account, audio devices, echo test, with Back, Next, Finish and Cancel.
// A page decides which buttons are usable and whether Next may leave it.
class COptionsWizard : public Gtk::Dialog, public ui_thread::MessageTarget {
public:
    COptionsWizard();

    // Runs page 1's start-up question; false when the user chose to end the wizard.
    bool initialise();
    // Runs modally; kWizardOk, kWizardCancel, or kWizardNotRun when a page ended it.
    int run_wizard();

    // Page navigation, as the buttons do it.
    int current_page() const { return m_current; }
    void go_next();
    // Shows a page without the checks of Next (the first page, and the view tool).
    void show_page(int index);
    void go_back();
    void finish();
    void end_wizard(int result);

    // Buttons as the pages set them.
    void set_buttons(bool back, bool next, bool finish_visible, bool finish_enabled);
    Gtk::Button& back_button() { return *m_back; }
    Gtk::Button& next_button() { return *m_next; }
    Gtk::Button& finish_button() { return *m_finish; }

    CWizIntroPage& intro_page() { return m_intro; }
    CWizAudioPage& audio_page() { return m_audio; }
    CWizEchoPage& echo_page() { return m_echo; }

    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam, ui_thread::LParam) override;

private:
    CWizIntroPage m_intro;
    CWizAudioPage m_audio;
    CWizEchoPage m_echo;
    Gtk::Stack m_pages;
    Gtk::Button* m_back = nullptr;
    Gtk::Button* m_next = nullptr;
    Gtk::Button* m_finish = nullptr;
    int m_current = 0;
    int m_result = kWizardCancel;
};
