#pragma once
#include <deque>
#include <string>
#include <vector>

// What a web element does with a navigation it is about to make. Pages can navigate
// only by kalvo: commands, script URLs and URLs containing "register"; every other
// navigation needs the one-shot permission the program grants before its own.
struct NavigationDecision {
    enum class Action {
        Dispatch, // a kalvo: URL: handed to the owner as the "hook" command, then cancelled
        Allow,
        Cancel,
    };
    Action action = Action::Cancel;
    std::string hook_text; // for Dispatch: the URL with its percent-escapes undone once
    std::vector<std::string> log; // log window lines, in order
};

// Decides one navigation and consumes the element's permission when it was used.
NavigationDecision decide_navigation(const std::string& url, bool& permission);

// Whether a script the program runs in a page starts a navigation the page must be let
// through: "^window.location.href.*".
bool script_needs_permission(const std::string& script);

// Which navigations of one web element may start. Every address the program opens itself
// passes, without touching the page's grant, until its load begins (the web engine may ask
// again for the same navigation before then: refused, the page would stay blank); the
// page's own navigations need the one-shot grant the program gives (at most one is
// outstanding: granting again replaces it), or are kalvo: commands, script URLs or URLs
// containing "register".
class NavigationGate {
public:
    // The program is about to open the address in this element.
    void ExpectProgramNavigation(const std::string& address);
    // The page's next navigation may pass. A grant given for a script's
    // "window.location.href" assignment is also used up by a kalvo: command.
    void Grant(bool for_script = false);
    bool granted() const { return m_grant; }

    // `redirect`: a server redirect of a navigation already let through.
    NavigationDecision Decide(const std::string& url, bool redirect);
    // The element's load began (or failed): the program navigation let through is used up.
    void LoadBegan();

private:
    std::deque<std::string> m_program; // addresses the program opened, oldest first
    bool m_program_let_through = false; // the first of them passed and has not begun loading
    bool m_grant = false;
    bool m_grant_for_script = false;
};
