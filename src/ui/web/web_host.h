#pragma once
#include <functional>
#include <memory>
#include <string>

class ExternalHost;
namespace Skin {
class SkinWeb;
}

// The program's side of one web element: the navigation filter over "decide-policy"
// (every frame, navigations and new windows), the one-shot permission for the program's
// own navigations, `window.external` for its pages, the confirmation box behind
// ShowConfirm, no context menu, and running scripts in its page.
class WebHost {
public:
    // `hook` receives a kalvo: URL the page navigated to (with "%20" made blanks).
    using HookHandler = std::function<void(const std::string& url)>;

    WebHost(Skin::SkinWeb& element, HookHandler hook);
    ~WebHost();
    WebHost(const WebHost&) = delete;
    WebHost& operator=(const WebHost&) = delete;

    // The object `window.external` calls reach, for every web element (they share one
    // content manager); nothing is called while none is set.
    static void SetExternal(ExternalHost* external);

    // Each grant lets one navigation through, so two program navigations in a row both pass.
    void GrantPermission() { ++m_permissions; }
    // A program-started navigation: permission first.
    void Navigate(const std::string& address);
    // Runs script in the page's top frame; a "window.location.href" assignment gets its
    // navigation permission first.
    void RunScript(const std::string& script);
    // Runs a script for its truth value, handed to `answer` on the interface thread once
    // the page has run it (false on an error, or when this host is gone by then).
    void AskScript(const std::string& script, std::function<void(bool)> answer);
    std::string CurrentAddress() const;

    Skin::SkinWeb& element() { return m_element; }
    const std::string& name() const;

private:
    static int on_decide_policy(void* view, void* decision, int type, void* self);
    static int on_script_dialog(void* view, void* dialog, void* self);
    static int on_context_menu(void* view, void* menu, void* event, void* hit, void* self);

    Skin::SkinWeb& m_element;
    HookHandler m_hook;
    int m_permissions = 0;
    int m_script_grants = 0; // of m_permissions, those given to scripts
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true); // script answers check it
};
