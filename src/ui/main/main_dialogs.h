#pragma once
#include <functional>
#include <memory>
#include <string>

namespace Gtk {
class Window;
}
class CallControl;
class CTaskbarNotifier;

// The windows the main window opens over itself: the toast, the setup wizard and its
// prompt, the options sheet, message boxes, the prompt shown when the window is closed,
// and pages opened in the user's browser. Interface thread only.
class MainDialogs {
public:
    // `parent` gives the main window (boxes and dialogs sit over it); `calls` is checked
    // before the wizard runs; toast links reach `toast_command` as command texts.
    MainDialogs(std::function<Gtk::Window*()> parent, CallControl& calls,
        std::function<void(const std::string&)> toast_command);
    ~MainDialogs();

    void ShowToast(const std::string& text);
    // "Missed call from " and the caller: a call refused as busy during another.
    void ShowMissedCall(const std::string& caller);
    void HideToast();
    // The wizard prompt: true for Yes.
    bool AskWizard();
    void RunWizard();
    void RunOptionsSheet();
    // The close prompt (minimise to the tray), with its check boxes kept in the settings.
    void AskOnClose();
    // A box titled "Kalvo" with the error icon.
    void MessageBox(const std::string& text);
    // "Confirmation", Yes and No: true for Yes.
    bool Confirm(const std::string& text);
    // Whether a call is up.
    bool InCall();
    void OpenInBrowser(const std::string& address);

private:
    std::function<Gtk::Window*()> m_parent;
    CallControl& m_calls;
    std::unique_ptr<CTaskbarNotifier> m_toast;
};
