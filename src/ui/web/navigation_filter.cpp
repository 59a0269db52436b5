#include "ui/web/navigation_filter.h"

#include <boost/regex.hpp>

#include "net/percent_encoding.h"

NavigationDecision decide_navigation(const std::string& url, bool& permission)
{
    NavigationDecision decision;
    decision.log.push_back(url);
    if (url.starts_with("kalvo:")) {
        decision.action = NavigationDecision::Action::Dispatch;
        // WebKit escapes what the page wrote (blanks, quotes, "<", ">", non-ASCII) and
        // keeps the page's own escapes: undone once, the command gets the page's text.
        decision.hook_text = percent_decode(url);
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
