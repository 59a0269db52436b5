#include "ui/wizard/wiz_echo_page.h"

#include <gtkmm/grid.h>
#include <gtkmm/label.h>

#include "base/messages.h"
#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "telephony/call_manager.h"
#include "ui/dialogs/message_box.h"
#include "ui/wizard/options_wizard.h"
#include "ui/wizard/wizard_rules.h"
#include "ui/wizard/wizard_texts.h"

using wizard_rules::EchoEvent;

EchoTestState& EchoTestState::instance()
{
    static EchoTestState state;
    return state;
}

void wiz_echo_event(int code, int kind)
{
    LogDlg& log = LogDlg::instance();
    log.append("********** Got an event in WizEchoPage");
    EchoTestState& state = EchoTestState::instance();
    if (!state.in_test) {
        log.append("********** in_test is false");
        return;
    }
    log.append("********** in_test is true");
    if (state.page)
        state.page->on_event(code, kind);
}

namespace {

// The SIP stack's device at a stored index, when it has one.
template <typename NameFunction>
void apply_device(NameFunction device_name, SIPX_RESULT (*apply)(SIPX_INST, const char*), int index)
{
    const SIPX_INST inst = CallManager::instance().stack_handle();
    const char* name = nullptr;
    if (inst && device_name(inst, index, &name) == SIPX_RESULT_SUCCESS && name)
        apply(inst, name);
}

void setup_bar(Gtk::LevelBar& bar)
{
    bar.set_min_value(0);
    bar.set_max_value(100);
    bar.set_value(0);
    bar.set_hexpand(true);
}

} // namespace

CWizEchoPage::CWizEchoPage(COptionsWizard& wizard)
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL, 6), m_wizard(wizard), m_call_button(wizard_texts::kStartTest),
      m_yes("Yes, I can hear myself"), m_no("No, I cannot hear myself"),
      m_timers([this](unsigned id) { on_timer(id); })
{
    setup_bar(m_headset_bar);
    setup_bar(m_microphone_bar);
    auto* bars = Gtk::make_managed<Gtk::Grid>();
    bars->set_row_spacing(4);
    bars->set_column_spacing(6);
    bars->attach(*Gtk::make_managed<Gtk::Label>("Headset volume", Gtk::ALIGN_START), 0, 0);
    bars->attach(m_headset_bar, 1, 0);
    bars->attach(*Gtk::make_managed<Gtk::Label>("Microphone volume", Gtk::ALIGN_START), 0, 1);
    bars->attach(m_microphone_bar, 1, 1);
    auto* answers = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 6);
    answers->pack_start(m_yes, Gtk::PACK_SHRINK);
    answers->pack_start(m_no, Gtk::PACK_SHRINK);
    pack_start(m_header, Gtk::PACK_SHRINK);
    pack_start(m_call_button, Gtk::PACK_SHRINK);
    pack_start(m_icons, Gtk::PACK_SHRINK);
    pack_start(m_steps, Gtk::PACK_SHRINK);
    pack_start(*bars, Gtk::PACK_SHRINK);
    pack_start(*answers, Gtk::PACK_SHRINK);
    set_border_width(12);
    m_call_button.signal_clicked().connect(sigc::mem_fun(*this, &CWizEchoPage::on_call_button));
    m_yes.signal_clicked().connect(sigc::mem_fun(*this, &CWizEchoPage::on_heard));
    m_no.signal_clicked().connect(sigc::mem_fun(*this, &CWizEchoPage::on_not_heard));
    EchoTestState::instance().page = this;
}

CWizEchoPage::~CWizEchoPage()
{
    EchoTestState& state = EchoTestState::instance();
    if (state.page == this) {
        state.page = nullptr;
        state.in_test = false;
    }
    CallManager& call_manager = CallManager::instance();
    if (call_manager.m_echo_page == this) {
        call_manager.m_echo_page = nullptr;
        call_manager.m_echo_label1 = nullptr;
        call_manager.m_echo_label2 = nullptr;
    }
}

void CWizEchoPage::initialise()
{
    CallManager& call_manager = CallManager::instance();
    call_manager.m_echo_page = this;
    call_manager.m_echo_label1 = &m_icons;
    call_manager.m_echo_label2 = &m_steps;
    set_answer_buttons(false);
    m_header.set_text(wizard_texts::kEchoHeader);
    show(echo_steps::idle());
    EchoTestState::instance().in_test = false;
}

void CWizEchoPage::on_activate()
{
    m_wizard.set_buttons(true, false, true, false);
}

void CWizEchoPage::on_finish()
{
    LogDlg& log = LogDlg::instance();
    log.append("********** Killing current page");
    EchoTestState::instance().in_test = false;
    m_timers.kill_all();
    AppSettings settings;
    settings.load();
    settings.shown_wizard = true;
    settings.remember_user = true;
    settings.auto_login = true;
    settings.save();
    log.append("********** Logging in the user");
    CallManager::instance().request_login_check();
}

void CWizEchoPage::on_call_button()
{
    if (EchoTestState::instance().in_test)
        cancel_test();
    else
        start_test();
}

void CWizEchoPage::start_test()
{
    AppSettings settings;
    settings.load();
    apply_device(sipxAudioGetInputDevice, sipxAudioSetCallInputDevice, settings.input_device);
    apply_device(sipxAudioGetOutputDevice, sipxAudioSetCallOutputDevice, settings.output_device);
    apply_device(sipxAudioGetOutputDevice, sipxAudioSetRingerOutputDevice, settings.ring_device);

    EchoTestState::instance().in_test = true;
    m_call_button.set_sensitive(false);
    m_call_button.set_label(wizard_texts::kCancelTest);
    set_answer_buttons(true);
    show(echo_steps::initializing());
    show(echo_steps::verifying());

    m_timers.set_timer(kRegistrationTimer, kRegistrationTimeoutMs);
    CallManager& call_manager = CallManager::instance();
    call_manager.set_wizard_mode(true);
    call_manager.request_login_check();
    m_call_button.set_sensitive(true);
}

void CWizEchoPage::cancel_test()
{
    stop_test(echo_steps::idle());
}

void CWizEchoPage::on_heard()
{
    stop_test(echo_steps::heard());
}

void CWizEchoPage::on_not_heard()
{
    // The echo call is of no further use once the user has answered.
    stop_test(echo_steps::not_heard());
    show_message_box(&m_wizard,
        {"The audio test has failed.  Please check your \nfirewall settings and try again.",
            "Audio test failed", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
}

void CWizEchoPage::stop_test(const echo_steps::Display& display)
{
    show(display);
    m_wizard.set_buttons(true, false, true, true);
    EchoTestState::instance().in_test = false;
    CallManager::instance().end_call();
    end_test(wizard_texts::kStartTest);
}

void CWizEchoPage::end_test(const char* button_text)
{
    m_timers.kill_all();
    m_call_button.set_label(button_text);
    set_answer_buttons(false);
    set_bars(0, 0);
}

void CWizEchoPage::on_event(int code, int kind)
{
    switch (wizard_rules::classify_echo_event(code, kind)) {
    case EchoEvent::Registered:
        show(echo_steps::calling());
        m_timers.kill_timer(kRegistrationTimer);
        LogDlg::instance().append("echotest");
        CallManager::instance().place_call("echotest");
        break;
    case EchoEvent::RegistrationFailed:
        show(echo_steps::registration_failed(m_display));
        m_timers.kill_timer(kRegistrationTimer);
        show_message_box(&m_wizard,
            {"You have entered an invalid username or password.  \nPlease press the Back button and try "
             "again.",
                "Invalid username or password", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
        break;
    case EchoEvent::Calling:
        show(echo_steps::calling());
        break;
    case EchoEvent::Connected:
        show(echo_steps::talking());
        m_timers.set_timer(kLevelTimer, kLevelPeriodMs);
        ui_thread::post(this, messages::UWM_WIZ_ENABLEBUTTONS_MSG);
        break;
    case EchoEvent::None:
        break;
    }
}

void CWizEchoPage::on_timer(unsigned id)
{
    if (id == kLevelTimer) {
        int microphone = -100;
        int speaker = -100;
        CallManager::instance().get_levels(microphone, speaker);
        set_bars(wizard_rules::level_bar_position(microphone), wizard_rules::level_bar_position(speaker));
    } else if (id == kRegistrationTimer) {
        set_bars(0, 0);
        EchoTestState::instance().in_test = false;
        m_call_button.set_label(wizard_texts::kPlaceCall);
        // Nothing is left to answer: the call was never placed.
        set_answer_buttons(false);
        show(echo_steps::registration_timed_out(m_display));
        m_timers.kill_timer(kRegistrationTimer);
        m_wizard.set_buttons(true, false, true, true);
        show_message_box(&m_wizard,
            {"There was an error contacting the server.  \nPlease check your firewall settings and try "
             "again.",
                "Connection timeout", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
    }
}

ui_thread::Result CWizEchoPage::handle_message(
    ui_thread::Message message, ui_thread::WParam, ui_thread::LParam)
{
    if (message == messages::UWM_WIZ_ENABLEBUTTONS_MSG)
        set_answer_buttons(true);
    else if (message == messages::UWM_WIZ_DISABLEBUTTONS_MSG)
        set_answer_buttons(false);
    return 0;
}

void CWizEchoPage::show(const echo_steps::Display& display)
{
    m_display = display;
    CallManager& call_manager = CallManager::instance();
    call_manager.m_echo_text1 = echo_steps::icons_html(display);
    call_manager.m_echo_text2 = echo_steps::steps_html(display);
    m_icons.set_text(call_manager.m_echo_text1);
    m_steps.set_text(call_manager.m_echo_text2);
}

void CWizEchoPage::set_bars(int microphone, int speaker)
{
    m_microphone_bar.set_value(microphone);
    m_headset_bar.set_value(speaker);
}

void CWizEchoPage::set_answer_buttons(bool enabled)
{
    m_yes.set_sensitive(enabled);
    m_no.set_sensitive(enabled);
}
