#pragma once

// What a key pressed in the information window does.
enum class InfoKeyAction {
    Page, // goes to the page (editing keys included)
    Swallow, // dropped: F5 must not reload the page
    Hide, // Escape and Enter close the window (it only hides)
};

InfoKeyAction info_key_action(unsigned keyval);
