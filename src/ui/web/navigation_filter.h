#pragma once
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
