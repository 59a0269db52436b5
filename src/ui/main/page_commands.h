#pragma once
#include <functional>
#include <string>

#include "ui/handset/handset.h"
#include "ui/web/command_dispatcher.h"
#include "ui/web/external_methods.h"

class CallPresenter;
class LinePresenter;
class MainDialogs;
class MainScreen;
class PopupMenus;
class SignIn;

// What pages, the command dispatcher and the handset ask of the main window, handed to the
// role that does it: the screen and its pages, the call and line presenters, the sign-in,
// the dialogs and the menus. Interface thread only.
class PageCommands : public MainActions, public ExternalHost, public HandsetHost {
public:
    struct Roles {
        MainScreen& screen;
        CallPresenter& calls;
        LinePresenter& line;
        SignIn& sign_in;
        MainDialogs& dialogs;
        PopupMenus& menus;
        std::function<void()> show_window; // "Show Kalvo"
        std::function<void()> exit_program; // Exit, and Escape outside a call
    };
    explicit PageCommands(Roles roles) : m_roles(std::move(roles)) { }

    // A command of the menus, the tray and the window's keys (MainCommand ids).
    void OnMenuCommand(unsigned id);
    // The browser pages of the View menu (ID_MY_ACCOUNT, ID_ACCESS_NUMBERS), the Help menu
    // (ID_KNOWLEDGE_BASE) and, for any other id, the skin's "account" button.
    void OpenMenuPage(unsigned id);
    // A key pressed or released in the window: the main page's focus script.
    void OnKey(unsigned keyval);

    // MainActions (the command dispatcher)
    void Log(const std::string& line) override;
    void ShowAndRaise() override;
    void RunMainScript(const std::string& script) override;
    void StartLogin() override;
    void KeepAccount(const std::string& user, const std::string& password) override;
    void SetLoggedIn(bool logged_in) override;
    void PlaceCall(const std::string& number) override;
    void Hold(bool on_hold) override;
    void Mute(bool muted) override;
    void Hangup() override;
    void Answer() override;
    void Reject() override;
    void NavigateContent(const std::string& address) override;
    void NavigateTab(const std::string& address) override;
    void ReloadTab() override;
    void OpenTab() override;
    void ShowInfo(const std::string& address) override;
    bool ShowPageMenu(int type, int x, int y) override;
    bool AskWizard() override;
    void RunWizard() override;
    void ShowToast(const std::string& text) override;
    void HideToast() override;
    void MessageBox(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void OpenInBrowser(const std::string& address) override;
    bool InCall() override;
    std::string SkinsFolder() const override;

    // ExternalHost (window.external)
    void ShowWizard() override;
    void CloseTab() override;
    void ShowProfile() override;
    void ShowHistory() override;
    void ShowRegister() override;
    void Logout() override;
    void SetUsername(const std::string& text) override;
    void SetPassword(const std::string& text) override;
    bool ShowConfirm(const std::string& text) override;
    void SendToTab(const std::string& text) override;
    void SendToMain(const std::string& text) override;
    void SetTab(const std::string& text) override;
    void StartDTMF(const std::string& text) override;
    void EndDTMF(const std::string& text) override;

    // HandsetHost
    void RunContentScript(const std::string& script) override;
    void AppendLog(const std::string& line) override;

private:
    Roles m_roles;
};
