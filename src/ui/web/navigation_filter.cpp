#include "ui/web/navigation_filter.h"

#include <algorithm>
#include <utility>

#include "net/percent_encoding.h"

namespace {

// An address as WebKit may report it back: escapes undone, scheme and host in lower case,
// "/" for an empty path, no fragment.
std::string navigation_key(const std::string& address)
{
    std::string key = percent_decode(address.substr(0, address.find('#')));
    std::size_t scheme_end = key.find("://");
    if (scheme_end == std::string::npos)
        return key;
    std::size_t host_end = std::min(key.find_first_of("/?", scheme_end + 3), key.size());
    if (host_end == key.size() || key[host_end] == '?')
        key = key.substr(0, host_end) + "/" + key.substr(host_end);
    std::transform(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(host_end), key.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return key;
}

// Only the last few program navigations can still be on their way.
constexpr std::size_t kProgramNavigationsKept = 8;

} // namespace

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

void NavigationGate::ExpectProgramNavigation(const std::string& address)
{
    m_program.push_back(navigation_key(address));
    if (m_program.size() > kProgramNavigationsKept) {
        m_program.pop_front();
        m_program_let_through = false;
    }
}

void NavigationGate::Grant(bool for_script)
{
    m_grant = true;
    m_grant_for_script = for_script;
}

void NavigationGate::LoadBegan()
{
    if (std::exchange(m_program_let_through, false))
        m_program.pop_front();
}

NavigationDecision NavigationGate::Decide(const std::string& url, bool redirect)
{
    if (!url.starts_with("kalvo:")) {
        auto own = std::find(m_program.begin(), m_program.end(), navigation_key(url));
        if (redirect || own != m_program.end()) {
            // Navigations are decided in the order they were started: older ones are gone;
            // this one stays until its load begins.
            if (own != m_program.end()) {
                m_program.erase(m_program.begin(), own);
                m_program_let_through = true;
            }
            bool pass = true;
            return decide_navigation(url, pass);
        }
    }
    NavigationDecision decision = decide_navigation(url, m_grant);
    if (decision.action == NavigationDecision::Action::Dispatch && m_grant_for_script)
        m_grant = false;
    if (!m_grant)
        m_grant_for_script = false;
    return decision;
}
