#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <sigc++/connection.h>
#include <string>

#include "ui/web/crash_reloads.h"
#include "ui/web/navigation_filter.h"
#include "ui/web/page_trust.h"

class ExternalHost;
namespace Skin {
class SkinWeb;
}

// The program's side of one web element: the navigation filter over "decide-policy"
// (every frame, navigations and new windows) with the page's one-shot grant, the
// program's own navigations let through, `window.external` for the trusted pages of the
// "content" and "tab" views only (TrustedPages; refused, with a log line, for any other
// view, frame or page), the confirmation box behind
// ShowConfirm, no context menu, running scripts in its page, a kalvo.log line for
// every page that finished loading, and the page opened again when its web process
// crashed or when a navigation of the program's did not finish loading (CrashReloads).
class WebHost {
public:
    // `hook` receives a kalvo: URL the page navigated to, its percent-escapes undone once.
    using HookHandler = std::function<void(const std::string& url)>;

    WebHost(Skin::SkinWeb& element, HookHandler hook);
    ~WebHost();
    WebHost(const WebHost&) = delete;
    WebHost& operator=(const WebHost&) = delete;

    // The object `window.external` calls reach, for every bridged web element; nothing is
    // called while none is set.
    static void SetExternal(ExternalHost* external);

    // The page's own next navigation may pass (one-shot; granting again replaces it).
    void GrantPermission() { m_gate.Grant(); }
    // A program-started navigation: it passes without using the page's grant.
    void Navigate(const std::string& address);
    // Runs script in the page's top frame; a "window.location.href" assignment gets the
    // page's grant first.
    void RunScript(const std::string& script);
    // Runs a script for its truth value, handed to `answer` on the interface thread once
    // the page has run it (false on an error, or when this host is gone by then).
    void AskScript(const std::string& script, std::function<void(bool)> answer);
    std::string CurrentAddress() const;

    Skin::SkinWeb& element() { return m_element; }
    const std::string& name() const;

private:
    void AttachBridge();
    // The call text behind the bridge's key, when this view's page may make it.
    std::optional<std::string> BridgedCall(const std::string& text) const;

    static int on_external_message(void* manager, void* message, void* reply, void* self);
    static int on_decide_policy(void* view, void* decision, int type, void* self);
    static int on_script_dialog(void* view, void* dialog, void* self);
    static int on_context_menu(void* view, void* menu, void* event, void* hit, void* self);
    static void on_load_changed(void* view, int event, void* self);
    static int on_load_failed(void* view, int event, const char* uri, void* error, void* self);
    static void on_web_process_terminated(void* view, int reason, void* self);
    void OnWebProcessEnded(int reason);
    // The program's navigation to `address` has a time to load in before it is made again.
    void WatchLoad(const std::string& address);
    // Opens a page again after the web engine lost it, within the reload budget; `why`
    // ends the log line.
    void OpenAgain(const std::string& address, const std::string& why);

    Skin::SkinWeb& m_element;
    HookHandler m_hook;
    NavigationGate m_gate;
    TrustedPages m_trusted;
    CrashReloads m_crash_reloads;
    sigc::connection m_load_watch;
    bool m_bridge = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true); // script answers check it
};
