#include "ui/web/web_host.h"

#include <algorithm>
#include <webkit2/webkit2.h>

#include "log/log_dlg.h"
#include "net/service_addresses.h"
#include "skin/definition.h"
#include "skin/skin_web.h"
#include "ui/web/external_methods.h"
#include "ui/web/navigation_filter.h"

namespace {

constexpr const char* kHandlerName = "kalvoExternal";

ExternalHost* g_external = nullptr;

// window.external for every frame: a Proxy whose methods, whatever their letter case,
// send the call as one text to the program. ShowConfirm goes through confirm(), so the
// page gets its answer at once; the other calls return a promise that is rejected with
// the program's reason when the call is refused.
const char* const kExternalScript = R"js((function () {
  var marker = '\u0001kalvo-external\u0001';
  function encode(name, args) {
    var text = String(name);
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
          return window.confirm(marker + call) ? 1 : 0;
        return window.webkit.messageHandlers.kalvoExternal.postMessage(call);
      };
    }
  });
  try {
    Object.defineProperty(window, 'external', { value: external, configurable: true, writable: false });
  } catch (e) {
    window.external = external;
  }
})();)js";

void log(const std::string& line)
{
    LogDlg::instance().append(line);
}

gboolean on_external_message(
    WebKitUserContentManager*, JSCValue* message, WebKitScriptMessageReply* reply, gpointer)
{
    char* raw = jsc_value_is_string(message) ? jsc_value_to_string(message) : nullptr;
    std::string text = raw ? raw : "";
    g_free(raw);
    std::optional<ExternalCall> call = decode_external_call(text);
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

// The content manager is shared by related views: set it up once.
void prepare_content_manager(WebKitWebView* view)
{
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(view);
    if (g_object_get_data(G_OBJECT(manager), kHandlerName))
        return;
    g_object_set_data(G_OBJECT(manager), kHandlerName, GINT_TO_POINTER(1));
    WebKitUserScript* script = webkit_user_script_new(kExternalScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(manager, script);
    webkit_user_script_unref(script);
    g_signal_connect(manager, "script-message-with-reply-received::kalvoExternal",
        G_CALLBACK(on_external_message), nullptr);
    webkit_user_content_manager_register_script_message_handler_with_reply(manager, kHandlerName, nullptr);
}

} // namespace

WebHost::WebHost(Skin::SkinWeb& element, HookHandler hook) : m_element(element), m_hook(std::move(hook))
{
    WebKitWebView* view = m_element.view();
    prepare_content_manager(view);
    g_signal_connect(view, "decide-policy", G_CALLBACK(on_decide_policy), this);
    g_signal_connect(view, "script-dialog", G_CALLBACK(on_script_dialog), this);
    g_signal_connect(view, "context-menu", G_CALLBACK(on_context_menu), this);
    // The element's first page is already on its way: let it through.
    m_permissions = 1;
}

WebHost::~WebHost()
{
    g_signal_handlers_disconnect_by_data(m_element.view(), this);
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
    GrantPermission();
    m_element.Navigate(address);
}

void WebHost::RunScript(const std::string& script)
{
    if (script_needs_permission(script)) {
        GrantPermission();
        ++m_script_grants;
    }
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
    bool redirect = webkit_navigation_action_is_redirect(action) && !url.starts_with("kalvo:");
    bool permission = redirect || self->m_permissions > 0;
    NavigationDecision verdict = decide_navigation(url, permission);
    if (!redirect && !permission && self->m_permissions > 0 &&
        verdict.action == NavigationDecision::Action::Allow) {
        --self->m_permissions;
        self->m_script_grants = std::max(0, self->m_script_grants - 1);
    }
    // A script's kalvo: assignment used the grant it was given: it must not let the
    // page's next navigation through.
    if (verdict.action == NavigationDecision::Action::Dispatch && self->m_script_grants > 0) {
        --self->m_script_grants;
        --self->m_permissions;
    }
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

int WebHost::on_script_dialog(void*, void* dialog_pointer, void*)
{
    auto* dialog = static_cast<WebKitScriptDialog*>(dialog_pointer);
    if (webkit_script_dialog_get_dialog_type(dialog) != WEBKIT_SCRIPT_DIALOG_CONFIRM)
        return FALSE;
    std::string message = webkit_script_dialog_get_message(dialog);
    if (!message.starts_with(kExternalConfirmMarker))
        return FALSE;
    std::optional<ExternalCall> call =
        decode_external_call(message.substr(std::string(kExternalConfirmMarker).size()));
    bool confirmed = false;
    if (call && g_external) {
        ExternalResult result = invoke_external(*g_external, call->name, call->args);
        if (result.error != ExternalError::None)
            log("window.external: " + result.message);
        confirmed = result.value.value_or(0) == 1;
    } else {
        log("window.external: ShowConfirm could not be answered");
    }
    webkit_script_dialog_confirm_set_confirmed(dialog, confirmed);
    return TRUE;
}

int WebHost::on_context_menu(void*, void*, void*, void*, void*)
{
    return TRUE; // no context menu in any page
}
