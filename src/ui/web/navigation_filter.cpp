#include "ui/web/navigation_filter.h"

namespace {

std::string replace_all(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

NavigationDecision decide_navigation(const std::string& url, bool& permission)
{
    NavigationDecision decision;
    decision.log.push_back(url);
    if (url.starts_with("kalvo:")) {
        decision.action = NavigationDecision::Action::Dispatch;
        decision.hook_text = replace_all(url, "%20", " ");
        return decision;
    }
    if (url.starts_with("javascript:")) {
        decision.log.push_back("********** Javascript, let it through");
        permission = true;
    }
    if (url.find("register") != std::string::npos) {
        decision.log.push_back("********** On register page");
        permission = true;
    }
    if (!permission)
        return decision;
    permission = false;
    decision.log.push_back("BeforeNavigate2");
    decision.action = NavigationDecision::Action::Allow;
    return decision;
}

bool script_needs_permission(const std::string& script)
{
    // "^window.location.href.*" searched through the text: at its start or after a line
    // break ("\n", "\r" or "\f"), "window", any character, "location", any character, "href".
    auto matches_at = [&script](size_t at) {
        return script.compare(at, 6, "window") == 0 && script.compare(at + 7, 8, "location") == 0 &&
            script.compare(at + 16, 4, "href") == 0;
    };
    for (size_t at = 0; at + 20 <= script.size(); ++at) {
        char before = at == 0 ? '\n' : script[at - 1];
        if ((before == '\n' || before == '\r' || before == '\f') && matches_at(at))
            return true;
    }
    return false;
}
