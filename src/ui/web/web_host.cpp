#include "ui/web/web_host.h"

#include <cstdio>
#include <glibmm/main.h>
#include <random>
#include <webkit2/webkit2.h>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "skin/definition.h"
#include "skin/skin_web.h"
#include "ui/web/external_methods.h"
#include "ui/web/main_page_cache.h"

namespace {

// A page the program opened that has neither loaded nor failed after this long is opened
// again: the web engine can drop the loads of a web process it replaces while starting,
// without a word to the view.
constexpr unsigned kLoadSeconds = 10;

constexpr const char* kHandlerName = "kalvoExternal";

ExternalHost* g_external = nullptr;

// window.external for the trusted pages of the "content" and "tab" views (top frames
// only): a Proxy whose methods, whatever their letter case, send the call as one text to
// the program, behind the key only this script knows (a foreign frame that posts to the
// handler itself is refused). The handler and confirm() are taken before the page's own
// scripts run. ShowConfirm goes through confirm(), so the page gets its answer at once;
// the other calls return a promise that is rejected with the program's reason when the
// call is refused.
const char* const kExternalScript = R"js((function () {
  var marker = '\u0001kalvo-external\u0001';
  var key = '@KEY@';
  var handler = window.webkit.messageHandlers.kalvoExternal;
  var post = handler.postMessage.bind(handler);
  var confirmCall = window.confirm.bind(window);
  function encode(name, args) {
    var text = key + '\u0001' + String(name);
    for (var i = 0; i < args.length; i++) {
      var v = args[i], t = typeof v, kind, value = '';
      if (v === undefined) kind = 'u';
      else if (v === null) kind = 'z';
      else if (t === 'boolean') kind = 'b';
      else if (t === 'number') kind = 'n';
      else if (t === 'string') kind = 's';
      else kind = 'o';
      if (kind !== 'u' && kind !== 'z') {
        try { value = encodeURIComponent(String(v)); } catch (e) { value = ''; }
      }
      text += '\u0001' + kind + value;
    }
    return text;
  }
  var external = new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string' || name === 'then') return undefined;
      return function () {
        var call = encode(name, Array.prototype.slice.call(arguments));
        if (name.toLowerCase() === 'showconfirm')
          return confirmCall(marker + call) ? 1 : 0;
        return post(call);
      };
    }
  });
  try {
    Object.defineProperty(window, 'external', { value: external, configurable: true, writable: false });
  } catch (e) {
    window.external = external;
  }
})();)js";

// The key of the bridge scripts, new at each start.
const std::string& bridge_key()
{
    static const std::string key = [] {
        std::random_device random;
        char text[33];
        std::snprintf(text, sizeof text, "%08x%08x%08x%08x", random(), random(), random(), random());
        return std::string(text);
    }();
    return key;
}

std::string install_folder()
{
    std::string folder = registry_string(settings_path("install_path")).get();
    return folder.empty() ? paths::user_data_dir() : folder;
}

std::string address_for_log(const std::string& address)
{
    return address.substr(0, address.find_first_of("?#"));
}

void log(const std::string& line)
{
    LogDlg::instance().append(line);
}

} // namespace

WebHost::WebHost(Skin::SkinWeb& element, HookHandler hook)
    : m_element(element), m_hook(std::move(hook)),
      m_trusted(Deployment::get(), element.SkinFolder(), main_page::cache_file(install_folder()))
{
    WebKitWebView* view = m_element.view();
    g_signal_connect(view, "decide-policy", G_CALLBACK(on_decide_policy), this);
    g_signal_connect(view, "script-dialog", G_CALLBACK(on_script_dialog), this);
    g_signal_connect(view, "context-menu", G_CALLBACK(on_context_menu), this);
    g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), this);
    g_signal_connect(view, "load-failed", G_CALLBACK(on_load_failed), this);
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(on_web_process_terminated), this);
    // The element's first page is already on its way.
    m_gate.ExpectProgramNavigation(CurrentAddress());
    WatchLoad(CurrentAddress());
    if (name() == "content" || name() == "tab")
        AttachBridge();
}

WebHost::~WebHost()
{
    m_load_watch.disconnect();
    g_signal_handlers_disconnect_by_data(m_element.view(), this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(m_element.view()), this);
}

// Each view has a content manager of its own (Skin::SkinWeb): the bridge is this view's.
void WebHost::AttachBridge()
{
    m_bridge = true;
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(m_element.view());
    std::string source = kExternalScript;
    source.replace(source.find("@KEY@"), 5, bridge_key());
    std::vector<std::string> patterns = m_trusted.script_patterns();
    std::vector<const char*> allow;
    for (const std::string& pattern : patterns)
        allow.push_back(pattern.c_str());
    allow.push_back(nullptr);
    WebKitUserScript* script = webkit_user_script_new(source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, allow.data(), nullptr);
    webkit_user_content_manager_add_script(manager, script);
    webkit_user_script_unref(script);
    g_signal_connect(
        manager, "script-message-with-reply-received::kalvoExternal", G_CALLBACK(on_external_message), this);
    webkit_user_content_manager_register_script_message_handler_with_reply(manager, kHandlerName, nullptr);
}

std::optional<std::string> WebHost::BridgedCall(const std::string& text) const
{
    std::string page = address_for_log(CurrentAddress());
    std::string prefix = bridge_key() + "\x01";
    if (!m_bridge) {
        log("window.external refused in the " + name() + " view: " + page);
        return std::nullopt;
    }
    if (!text.starts_with(prefix)) {
        log("window.external refused: a call from a frame of " + page + " without the page's key");
        return std::nullopt;
    }
    if (!m_trusted.trusts(CurrentAddress())) {
        log("window.external refused for a page that is not the program's own: " + page);
        return std::nullopt;
    }
    return text.substr(prefix.size());
}

int WebHost::on_external_message(void*, void* message_pointer, void* reply_pointer, void* self)
{
    auto* message = static_cast<JSCValue*>(message_pointer);
    auto* reply = static_cast<WebKitScriptMessageReply*>(reply_pointer);
    char* raw = jsc_value_is_string(message) ? jsc_value_to_string(message) : nullptr;
    std::string text = raw ? raw : "";
    g_free(raw);
    std::optional<std::string> bridged = static_cast<WebHost*>(self)->BridgedCall(text);
    if (!bridged) {
        webkit_script_message_reply_return_error_message(
            reply, "window.external is not available to this page");
        return TRUE;
    }
    std::optional<ExternalCall> call = decode_external_call(*bridged);
    if (!call) {
        webkit_script_message_reply_return_error_message(reply, "window.external: malformed call");
        return TRUE;
    }
    if (!g_external) {
        log("window.external." + call->name + " called before the program attached to the page");
        webkit_script_message_reply_return_error_message(reply, "window.external is not attached");
        return TRUE;
    }
    ExternalResult result = invoke_external(*g_external, call->name, call->args);
    if (result.error != ExternalError::None) {
        log("window.external: " + result.message);
        webkit_script_message_reply_return_error_message(reply, result.message.c_str());
        return TRUE;
    }
    JSCContext* context = jsc_value_get_context(message);
    JSCValue* value =
        result.value ? jsc_value_new_number(context, *result.value) : jsc_value_new_undefined(context);
    webkit_script_message_reply_return_value(reply, value);
    g_object_unref(value);
    return TRUE;
}

void WebHost::SetExternal(ExternalHost* external)
{
    g_external = external;
}

const std::string& WebHost::name() const
{
    return m_element.element().command;
}

void WebHost::Navigate(const std::string& address)
{
    m_gate.ExpectProgramNavigation(address);
    m_element.Navigate(address);
    WatchLoad(address);
}

// The view may have forgotten the address by then (a replaced web process): the host
// keeps it.
void WebHost::WatchLoad(const std::string& address)
{
    m_load_watch.disconnect();
    m_load_watch = Glib::signal_timeout().connect_seconds(
        [this, address] {
            OpenAgain(address, "it did not finish loading within " + std::to_string(kLoadSeconds) + " s");
            return false;
        },
        kLoadSeconds);
}

void WebHost::RunScript(const std::string& script)
{
    if (script_needs_permission(script))
        m_gate.Grant(true);
    webkit_web_view_evaluate_javascript(
        m_element.view(), script.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
}

void WebHost::AskScript(const std::string& script, std::function<void(bool)> answer)
{
    struct Question {
        std::weak_ptr<bool> alive;
        std::function<void(bool)> answer;
    };
    webkit_web_view_evaluate_javascript(
        m_element.view(), script.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject* view, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Question> question(static_cast<Question*>(data));
            JSCValue* value =
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
            bool truth = value && jsc_value_to_boolean(value);
            if (value)
                g_object_unref(value);
            if (!question->alive.expired())
                question->answer(truth);
        },
        new Question{m_alive, std::move(answer)});
}

std::string WebHost::CurrentAddress() const
{
    const char* uri = webkit_web_view_get_uri(m_element.view());
    return uri ? uri : "";
}

int WebHost::on_decide_policy(void*, void* decision_pointer, int type, void* self_pointer)
{
    auto* self = static_cast<WebHost*>(self_pointer);
    auto* decision = static_cast<WebKitPolicyDecision*>(decision_pointer);
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION &&
        type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
        return FALSE;
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    std::string url = webkit_uri_request_get_uri(request) ? webkit_uri_request_get_uri(request) : "";
    // A server redirect continues a navigation that was already let through.
    NavigationDecision verdict = self->m_gate.Decide(url, webkit_navigation_action_is_redirect(action));
    // Login links and login page addresses carry the password: logged masked.
    for (const std::string& line : verdict.log)
        log(service_address::mask_password_in_address(line));
    switch (verdict.action) {
    case NavigationDecision::Action::Dispatch:
        webkit_policy_decision_ignore(decision);
        if (self->m_hook)
            self->m_hook(verdict.hook_text);
        break;
    case NavigationDecision::Action::Allow:
        if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
            // No second window: the page opens in place.
            webkit_policy_decision_ignore(decision);
            self->Navigate(url);
        } else {
            webkit_policy_decision_use(decision);
        }
        break;
    case NavigationDecision::Action::Cancel:
        webkit_policy_decision_ignore(decision);
        break;
    }
    return TRUE;
}

int WebHost::on_script_dialog(void*, void* dialog_pointer, void* self)
{
    auto* dialog = static_cast<WebKitScriptDialog*>(dialog_pointer);
    if (webkit_script_dialog_get_dialog_type(dialog) != WEBKIT_SCRIPT_DIALOG_CONFIRM)
        return FALSE;
    std::string message = webkit_script_dialog_get_message(dialog);
    if (!message.starts_with(kExternalConfirmMarker))
        return FALSE; // the page's own confirm()
    std::optional<std::string> bridged =
        static_cast<WebHost*>(self)->BridgedCall(message.substr(std::string(kExternalConfirmMarker).size()));
    std::optional<ExternalCall> call = bridged ? decode_external_call(*bridged) : std::nullopt;
    bool confirmed = false;
    // Only ShowConfirm answers through a confirm() dialog.
    if (call && g_external && external_dispid(call->name) == external_dispid("ShowConfirm")) {
        ExternalResult result = invoke_external(*g_external, call->name, call->args);
        if (result.error != ExternalError::None)
            log("window.external: " + result.message);
        confirmed = result.value.value_or(0) == 1;
    } else if (bridged) {
        log("window.external: ShowConfirm could not be answered");
    }
    webkit_script_dialog_confirm_set_confirmed(dialog, confirmed);
    return TRUE;
}

void WebHost::on_load_changed(void* view, int event, void* self)
{
    if (event == WEBKIT_LOAD_COMMITTED)
        static_cast<WebHost*>(self)->m_gate.LoadBegan();
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    static_cast<WebHost*>(self)->m_load_watch.disconnect();
    // Which page the user sees; the query may hold the password and is left out.
    const char* uri = webkit_web_view_get_uri(static_cast<WebKitWebView*>(view));
    std::string address = uri ? uri : "";
    log_file::write_line("WEB - " + static_cast<WebHost*>(self)->name() +
        " page loaded: " + address.substr(0, address.find('?')));
}

int WebHost::on_load_failed(void*, int, const char* uri, void* error, void* self)
{
    // A load given up for the next one leaves that one watched.
    if (!g_error_matches(static_cast<GError*>(error), WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED))
        static_cast<WebHost*>(self)->m_load_watch.disconnect();
    static_cast<WebHost*>(self)->m_gate.LoadBegan();
    std::string address = uri ? uri : "";
    log_file::write_line("WEB - " + static_cast<WebHost*>(self)->name() + " page failed to load: " +
        address.substr(0, address.find('?')) + ": " + static_cast<GError*>(error)->message);
    return FALSE;
}

void WebHost::on_web_process_terminated(void*, int reason, void* self)
{
    static_cast<WebHost*>(self)->OnWebProcessEnded(reason);
}

void WebHost::OnWebProcessEnded(int reason)
{
    log_file::write_line("WEB - the web process of the " + name() + " view ended (" +
        (reason == WEBKIT_WEB_PROCESS_CRASHED ? "crashed" : "other reason " + std::to_string(reason)) + ")");
    if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API)
        return;
    // Left as it is the element stays blank until the program is started again.
    OpenAgain(CurrentAddress(), "its web process ended");
}

void WebHost::OpenAgain(const std::string& address, const std::string& why)
{
    if (address.empty())
        return;
    if (!m_crash_reloads.Allow(CrashReloads::Clock::now())) {
        log_file::write_line("WEB - the " + name() + " page is not opened again (" + why +
            "): it was opened again " + std::to_string(CrashReloads::kMaxReloads) + " times within a minute");
        return;
    }
    log_file::write_line("WEB - the " + name() + " page is opened again: " + why);
    Navigate(address);
}

int WebHost::on_context_menu(void*, void*, void*, void*, void*)
{
    return TRUE; // no context menu in any page
}
