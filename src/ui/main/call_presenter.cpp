#include "ui/main/call_presenter.h"

#include <optional>

#include "log/log_dlg.h"
#include "log/log_file.h"
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

// What the presentation logs for the events it shows: the log window's line and the
// state word of the log file's "CALLSTATE - " line.
struct ShownEvent {
    const char* log_line;
    const char* state;
};

std::optional<ShownEvent> shown_event(int event)
{
    switch (event) {
    case CALLSTATE_OFFERING:
        return ShownEvent{"********** Sending incoming event", "incoming"};
    case CALLSTATE_REMOTE_OFFERING:
        return ShownEvent{"********** Sending ringing event", "offering"};
    case CALLSTATE_REMOTE_ALERTING:
        return ShownEvent{"********** Sending ringing event", "ringing"};
    case CALLSTATE_CONNECTED:
        return ShownEvent{"********** Sending connected event", "connected"};
    case CALLSTATE_DISCONNECTED:
        return ShownEvent{"********** Sending disconnected event", "disconnected"};
    case CALLSTATE_DESTROYED:
        return ShownEvent{"********** Sending destroyed event", "destroyed"};
    default:
        return std::nullopt;
    }
}

} // namespace

CallPresenter::CallPresenter(MainView& view, CallControl& calls) : m_view(view), m_calls(calls) { }

void CallPresenter::OnCallState(int event, unsigned call)
{
    log("********** In OnCallStateMsg");
    if (m_calls.wizard_mode()) {
        wiz_echo_event(event, 1);
        return;
    }
    std::optional<ShownEvent> shown = shown_event(event);
    if (!shown)
        return;
    bool current = call != SIPX_CALL_NULL && call == m_calls.current_call();
    bool ends = event == CALLSTATE_DISCONNECTED || event == CALLSTATE_DESTROYED;
    if (!current && !(ends && call == m_shown)) {
        log("Ignoring event " + std::to_string(event) + " of call " + std::to_string(call) +
            ": not the call in progress");
        return;
    }
    log(shown->log_line);
    log_file::write_line(std::string("CALLSTATE - ") + shown->state + " (call " + std::to_string(call) + ")");
    if (ends) {
        ShowEnded();
        if (current)
            m_calls.end_call();
        return;
    }
    m_shown = call;
    if (std::optional<std::string> script = presentation::call_script(event, m_calls.remote_user()))
        m_view.RunScript("content", *script);
    m_view.SetElementImage("connection", "disconnect");
}

void CallPresenter::ShowEnded()
{
    m_shown = 0;
    m_view.RunScript("content", presentation::disconnected_script());
    m_view.RunScript("content", presentation::level_script(true, 0));
    m_view.RunScript("content", presentation::level_script(false, 0));
    m_shown_input = m_shown_output = 0;
    m_view.SetElementImage("connection", "connect");
}

void CallPresenter::OnLevels()
{
    if (m_shown == 0)
        return; // a tick that was on its way when the call ended
    if (!m_view.OnScreen())
        return; // the page would still lay out and paint every change that nobody sees
    int input = -100, output = -100;
    m_calls.get_levels(input, output);
    if (input + 100 != m_shown_input) {
        m_shown_input = input + 100;
        m_view.RunScript("content", presentation::level_script(true, m_shown_input));
    }
    if (output + 100 != m_shown_output) {
        m_shown_output = output + 100;
        m_view.RunScript("content", presentation::level_script(false, m_shown_output));
    }
}

bool CallPresenter::InCall() const
{
    return m_calls.in_call();
}

void CallPresenter::Dial()
{
    std::optional<std::string> number = m_view.InputText("address");
    if (!number)
        return;
    m_calls.place_call(*number);
    if (m_calls.in_call())
        m_view.SetElementImage("connection", "disconnect");
}

void CallPresenter::Hangup()
{
    log("Checking call state in OnConnectOrHandup");
    m_calls.end_call();
    ShowEnded();
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
