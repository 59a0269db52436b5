#pragma once
#include <string>

class CallControl;
class MainView;

// The main window's call presentation: call-state events become the main page's doCall()
// forms, the call buttons of the skin and the page reach the call manager, and the level
// meter follows the call. Interface thread only.
class CallPresenter {
public:
    CallPresenter(MainView& view, CallControl& calls);

    // UWM_CALLSTATE_MSG (the setup wizard's echo test gets it while the wizard runs).
    void OnCallState(int event);
    // UWM_LEVELS_MSG: the meter shows the current call's levels.
    void OnLevels();

    // The "dial" button, released: calls the number typed into "address".
    void Dial();
    // The "hangup" button released, and the page's hangup command.
    void Hangup();
    void Answer();
    void Reject();
    // The "voicemail" button.
    void CallVoicemail();
    void PlaceCall(const std::string& number);
    void Hold(bool on_hold);
    void Mute(bool muted);
    // The page's key down and up for a DTMF key text ("0"-"9", "*", "#").
    void StartTone(const std::string& key);
    void EndTone(const std::string& key);

private:
    MainView& m_view;
    CallControl& m_calls;
};
