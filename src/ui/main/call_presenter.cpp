#include "ui/main/call_presenter.h"

#include "log/log_dlg.h"
#include "telephony/call_control.h"
#include "telephony/sipx/sipx.h"
#include "ui/main/main_view.h"
#include "ui/main/presentation_text.h"
#include "ui/web/external_methods.h"
#include "ui/wizard/wiz_echo_page.h"

namespace {

void log(const std::string& line)
{
    LogDlg::instance().append(line);
}

} // namespace

CallPresenter::CallPresenter(MainView& view, CallControl& calls) : m_view(view), m_calls(calls) { }

void CallPresenter::OnCallState(int event)
{
    log("********** In OnCallStateMsg");
    if (m_calls.wizard_mode()) {
        wiz_echo_event(event, 1);
        return;
    }
    switch (event) {
    case CALLSTATE_OFFERING:
        log("********** Sending incoming event");
        break;
    case CALLSTATE_REMOTE_OFFERING:
    case CALLSTATE_REMOTE_ALERTING:
        log("********** Sending ringing event");
        break;
    case CALLSTATE_CONNECTED:
        log("********** Sending connected event");
        break;
    case CALLSTATE_DISCONNECTED:
        log("********** Sending disconnected event");
        break;
    case CALLSTATE_DESTROYED:
        log("********** Sending destroyed event");
        break;
    default:
        return;
    }
    if (std::optional<std::string> script = presentation::call_script(event, m_calls.remote_user()))
        m_view.RunScript("content", *script);
    if (event != CALLSTATE_DISCONNECTED && event != CALLSTATE_DESTROYED)
        return;
    m_calls.end_call();
    if (event == CALLSTATE_DISCONNECTED) {
        // A disconnect also runs the destroyed steps; the second end_call finds no call.
        log("********** Sending destroyed event");
        m_view.RunScript("content", presentation::disconnected_script());
        m_calls.end_call();
    }
}

void CallPresenter::OnLevels()
{
    int input = -100, output = -100;
    m_calls.get_levels(input, output);
    m_view.RunScript("content", presentation::level_script(true, input + 100));
    m_view.RunScript("content", presentation::level_script(false, output + 100));
}

void CallPresenter::Dial()
{
    std::optional<std::string> number = m_view.InputText("address");
    if (!number)
        return;
    m_calls.place_call(*number);
    m_view.SetElementImage("connection", "disconnect");
}

void CallPresenter::Hangup()
{
    log("Checking call state in OnConnectOrHandup");
    m_calls.end_call();
    m_view.RunScript("content", presentation::disconnected_script());
}

void CallPresenter::Answer()
{
    log("Answering call");
    m_calls.answer();
}

void CallPresenter::Reject()
{
    m_calls.reject();
}

void CallPresenter::CallVoicemail()
{
    m_calls.place_call("voicemail");
}

void CallPresenter::PlaceCall(const std::string& number)
{
    m_calls.place_call(number);
}

void CallPresenter::Hold(bool on_hold)
{
    m_calls.hold(on_hold);
}

void CallPresenter::Mute(bool muted)
{
    m_calls.mute(muted);
}

void CallPresenter::StartTone(const std::string& key)
{
    log("********** Got a tone start event");
    if (std::optional<int> tone = dtmf_tone(key))
        m_calls.start_tone(*tone, true, true);
}

void CallPresenter::EndTone(const std::string& key)
{
    log("********** Got a tone end event");
    if (std::optional<int> tone = dtmf_tone(key))
        m_calls.end_tone(*tone);
}
