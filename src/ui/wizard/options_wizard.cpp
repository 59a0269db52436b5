#include "ui/wizard/options_wizard.h"

#include "base/messages.h"
#include "log/log_dlg.h"
#include "telephony/call_manager.h"
#include "ui/dialogs/message_box.h"
#include "ui/wizard/wizard_texts.h"

namespace {
enum Page { kIntroPage = 0, kAudioPage = 1, kEchoPage = 2 };
}

int run_setup_wizard(Gtk::Window* parent)
{
    LogDlg& log = LogDlg::instance();
    log.append("Starting wizard");
    CallManager& call_manager = CallManager::instance();
    if (call_manager.in_call()) {
        show_message_box(parent,
            {"You cannot run this wizard during a call.\nPlease hangup your call and try again.",
                "Please hangup", Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK});
        return kWizardNotRun;
    }
    call_manager.set_wizard_mode(true);
    int result = kWizardNotRun;
    {
        COptionsWizard wizard;
        if (parent)
            wizard.set_transient_for(*parent);
        if (wizard.initialise())
            result = wizard.run_wizard();
    }
    if (result == kWizardOk)
        log.append("Got IDOK");
    else
        log.append("Got return value: " + std::to_string(result));
    call_manager.set_wizard_mode(false);
    call_manager.end_call();
    return result;
}

COptionsWizard::COptionsWizard() : m_intro(*this), m_audio(*this), m_echo(*this)
{
    set_title(wizard_texts::kTitle);
    set_modal(true);
    set_position(Gtk::WIN_POS_CENTER);
    set_default_size(520, 440);
    m_pages.add(m_intro);
    m_pages.add(m_audio);
    m_pages.add(m_echo);
    get_content_area()->pack_start(m_pages, Gtk::PACK_EXPAND_WIDGET);
    m_back = add_button("< _Back", Gtk::RESPONSE_NONE);
    m_next = add_button("_Next >", Gtk::RESPONSE_NONE);
    m_finish = add_button("_Finish", Gtk::RESPONSE_NONE);
    add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    m_back->signal_clicked().connect(sigc::mem_fun(*this, &COptionsWizard::go_back));
    m_next->signal_clicked().connect(sigc::mem_fun(*this, &COptionsWizard::go_next));
    m_finish->signal_clicked().connect(sigc::mem_fun(*this, &COptionsWizard::finish));
    m_pages.show_all();
}

bool COptionsWizard::initialise()
{
    if (!m_intro.initialise())
        return false;
    m_audio.initialise();
    m_echo.initialise();
    show_page(kIntroPage);
    return true;
}

int COptionsWizard::run_wizard()
{
    m_result = kWizardCancel;
    const int response = run();
    hide();
    if (response == Gtk::RESPONSE_OK)
        return kWizardOk;
    return m_result;
}

void COptionsWizard::go_next()
{
    bool may_leave = false;
    switch (m_current) {
    case kIntroPage:
        may_leave = m_intro.on_leave();
        break;
    case kAudioPage:
        may_leave = m_audio.on_leave();
        break;
    default:
        break;
    }
    if (may_leave && m_current < kEchoPage)
        show_page(m_current + 1);
}

void COptionsWizard::go_back()
{
    if (m_current > kIntroPage)
        show_page(m_current - 1);
}

void COptionsWizard::finish()
{
    m_echo.on_finish();
    response(Gtk::RESPONSE_OK);
}

void COptionsWizard::end_wizard(int result)
{
    m_result = result;
    response(Gtk::RESPONSE_CANCEL);
}

void COptionsWizard::set_buttons(bool back, bool next, bool finish_visible, bool finish_enabled)
{
    m_back->set_sensitive(back);
    m_next->set_sensitive(next);
    m_next->set_visible(!finish_visible);
    m_finish->set_visible(finish_visible);
    m_finish->set_sensitive(finish_enabled);
}

void COptionsWizard::show_page(int index)
{
    m_current = index;
    switch (index) {
    case kIntroPage:
        m_pages.set_visible_child(m_intro);
        m_intro.on_activate();
        break;
    case kAudioPage:
        m_pages.set_visible_child(m_audio);
        m_audio.on_activate();
        break;
    default:
        m_pages.set_visible_child(m_echo);
        m_echo.on_activate();
        break;
    }
}

ui_thread::Result COptionsWizard::handle_message(
    ui_thread::Message message, ui_thread::WParam, ui_thread::LParam)
{
    if (message == messages::UWM_WIZ_CALLSTATE_MSG)
        LogDlg::instance().append("We got a call state event in the options wizard");
    else if (message == messages::UWM_WIZ_TEXTEVENT_MSG)
        LogDlg::instance().append("We got a text event in the options wizard");
    return 0;
}
