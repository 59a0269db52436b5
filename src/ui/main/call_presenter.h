#pragma once
#include <string>

class CallControl;
class MainView;

// The main window's call presentation: call-state events become the main page's doCall()
// forms, the "connection" button and the level meter follow the call shown, and the call
// buttons of the skin and the page reach the call manager. Every event names its call:
// only the current call's events start or change what is shown, and only the call shown
// (or the current one) can end it, so a late end event of an earlier call changes
// nothing. Interface thread only.
class CallPresenter {
public:
    CallPresenter(MainView& view, CallControl& calls);

    // UWM_CALLSTATE_MSG (the setup wizard's echo test gets it while the wizard runs).
    void OnCallState(int event, unsigned call);
    // UWM_LEVELS_MSG: the meter shows the current call's levels; a side whose level has
    // not changed is left alone (each change costs the page a repaint), and so is the
    // whole meter while the window is off the screen, until a tick finds it back.
    void OnLevels();
    bool InCall() const;

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
    // The call is over on screen: the disconnected form, the meter at 0, the button back.
    void ShowEnded();

    MainView& m_view;
    CallControl& m_calls;
    unsigned m_shown = 0; // the call on screen, 0 for none
    // What the meter shows, as given to the page.
    int m_shown_input = 0;
    int m_shown_output = 0;
};
