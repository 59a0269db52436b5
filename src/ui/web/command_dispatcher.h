#pragma once
#include <string>

#include "settings/deployment.h"

// What the command dispatcher asks of the main window. The main window implements it
// over its widgets, the call manager and the login thread; tests record the calls.
class MainActions {
public:
    virtual ~MainActions() = default;

    virtual void Log(const std::string& line) = 0;
    // Shows the main window and its tab dialog and brings the window forward.
    virtual void ShowAndRaise() = 0;
    virtual void RunMainScript(const std::string& script) = 0;

    // Account: starts the login thread for the stored account; keeps the display name
    // and password copy.
    virtual void StartLogin() = 0;
    virtual void KeepAccount(const std::string& user, const std::string& password) = 0;
    virtual void SetLoggedIn(bool logged_in) = 0;

    // Calls.
    virtual void PlaceCall(const std::string& number) = 0;
    virtual void Hold(bool on_hold) = 0;
    virtual void Mute(bool muted) = 0;
    virtual void Hangup() = 0; // the "hangup" call button, released
    virtual void Answer() = 0; // the "answer" call button
    virtual void Reject() = 0; // the "reject" call button

    // Pages: each navigation is a program-started one (permission granted first).
    virtual void NavigateContent(const std::string& address) = 0;
    virtual void NavigateTab(const std::string& address) = 0; // no history, no cache
    virtual void ReloadTab() = 0;
    virtual void OpenTab() = 0; // the tab dialog's opening sequence
    virtual void ShowInfo(const std::string& address) = 0; // info dialog and its page

    // Menus: the popup menu of a type (1 file, 2 view, 3 help) at a position relative to
    // the "content" element; false when it could not be shown.
    virtual bool ShowPageMenu(int type, int x, int y) = 0;

    // Dialogs and other windows.
    virtual bool AskWizard() = 0; // the wizard prompt: true for Yes
    virtual void RunWizard() = 0;
    virtual void ShowToast(const std::string& text) = 0;
    virtual void HideToast() = 0;
    virtual void MessageBox(const std::string& text) = 0; // title "Kalvo", error icon
    virtual bool Confirm(const std::string& text) = 0; // title "Confirmation", Yes and No
    virtual void OpenInBrowser(const std::string& address) = 0;
    virtual bool InCall() = 0;

    // Where the skin's local pages live (the packaged skins folder).
    virtual std::string SkinsFolder() const = 0;
};

// Where a command text comes from: the program's own pages and windows, or a link from
// outside the program (a later start's "/url", or the first start's).
enum class CommandSource { Program, Outside };

// The handler of UWM_CMDDATA_MSG: recognises one command text and carries it out.
class CommandDispatcher {
public:
    CommandDispatcher(MainActions& actions, const Deployment& deployment)
        : m_actions(actions), m_deployment(deployment)
    {
    }

    // A link from outside may call, show the window and the side panel, and open the
    // wizard; one that changes the stored account or signs in as another user runs only
    // after the user agreed to a confirmation naming the account, and is refused without
    // asking while a call is up; any other command is refused. Refusals are logged.
    void Dispatch(const std::string& text, CommandSource source = CommandSource::Program);

private:
    bool AllowedFromOutside(const std::string& name, const std::string& text);
    void Login(const std::string& text);
    void Wizard(const std::string& text);
    void ShowLogin(const std::string& text);
    void Menu(const std::string& text);
    void Info(const std::string& text);

    MainActions& m_actions;
    Deployment m_deployment;
};
