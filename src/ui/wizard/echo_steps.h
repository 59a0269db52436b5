#pragma once
#include <array>
#include <string>

// What the echo-test page shows: one icon and one status per step ("Initializing",
// "Verifying username and password", "Placing call", "Talking"), and the two label texts
// built from them. Plain text building; the page puts the texts into its labels.
namespace echo_steps {

enum class Icon { Current, Done, Disabled, Error };
enum class Status { Pending, InProgress, Ok, Error, Failed };

inline constexpr int kStepCount = 4;

struct Display {
    std::array<Icon, kStepCount> icons{};
    std::array<Status, kStepCount> statuses{};
};

// The displays of the test's stages, in the order the test reaches them.
Display idle(); // every icon disabled, every step Pending
Display initializing(); // icon 1 current; Initializing in progress
Display verifying(); // icon 1 done, 2 current; Initializing OK, Verifying in progress
Display calling(); // icons 1-2 done, 3 current; Verifying OK, Placing call in progress
Display talking(); // icons 1-3 done, 4 current; Placing call OK, Talking in progress
Display heard(); // every icon done, every step OK
Display not_heard(); // every icon done; steps OK except Talking Failed
// Registration refused or timed out: icon 1 done, 2 error. A refusal also marks
// Verifying "Error"; the time-out changes only the icons.
Display registration_failed(const Display& before);
Display registration_timed_out(const Display& before);

// "RES:wizard_" + step + ("" | "_check" | "_disabled" | "_error") + ".png"; step is 1-4.
std::string icon_resource(int step, Icon icon);

// Label 1032: one table row of the four icons.
std::string icons_html(const Display& display);
// Label 1033: four rows of step name and bold status.
std::string steps_html(const Display& display);

} // namespace echo_steps
