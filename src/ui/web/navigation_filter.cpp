#include "ui/web/navigation_filter.h"

#include <boost/regex.hpp>

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
    static const boost::regex pattern("^window.location.href.*", boost::regex::perl);
    return boost::regex_search(script, pattern);
}
