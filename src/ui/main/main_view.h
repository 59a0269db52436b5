#pragma once
#include <functional>
#include <optional>
#include <string>

// What the main window's presenters change on screen: the skin's elements, its web pages,
// the side panel and the tray icon. MainScreen implements it over the skin; presenter tests
// record the calls. Elements and pages are named as in the skin ("content", "label_time");
// a missing one does nothing.
class MainView {
public:
    // The "content" page's place: as the skin loaded it (a little taller, over the hidden
    // voice-mail row), signed in (its "loginheight", at its bottom edge), or signed out.
    enum class ContentLayout { Start, SignedIn, SignedOut };

    virtual ~MainView() = default;

    virtual void ShowElement(const std::string& name, bool visible) = 0;
    virtual void SetLabel(const std::string& name, const std::string& text) = 0;
    // The text typed into an input element; nothing when there is no such input.
    virtual std::optional<std::string> InputText(const std::string& name) const = 0;
    // Shows the image an element has under that name in its image list.
    virtual void SetElementImage(const std::string& name, const std::string& image) = 0;
    // The main tab strip ("tabs_main") and its buttons.
    virtual void ShowMainTabs(bool visible) = 0;
    virtual void SetContentLayout(ContentLayout layout) = 0;
    // The side panel beside the window.
    virtual void ShowTabDialog(bool visible) = 0;
    virtual void Redraw() = 0;
    // The main window is on the screen (shown, not minimised): what its pages show can be seen.
    virtual bool OnScreen() const = 0;

    virtual bool HasPage(const std::string& page) const = 0;
    virtual void RunScript(const std::string& page, const std::string& script) = 0;
    // Runs a script that asks the page something and hands its truth value to `answer`,
    // later, on the interface thread (false when there is no such page or no answer).
    virtual void AskPage(const std::string& page, const std::string& script, std::function<void(bool)> answer)
    {
        (void)page;
        (void)script;
        answer(false);
    }
    // A navigation the program starts itself.
    virtual void Navigate(const std::string& page, const std::string& address) = 0;
    // Lets the page's own next navigation through.
    virtual void GrantNavigation(const std::string& page) = 0;

    virtual void SetTrayLoggedIn(bool logged_in) = 0;
    // Signed in but the service does not answer: the tray shows it.
    virtual void SetTrayOffline(bool offline) = 0;
    // The information window learns the signed-in account's notice version.
    virtual void ShowInfoNotice(const std::string& info_version, bool show_info) = 0;
};
