#include "ui/wizard/echo_steps.h"

namespace echo_steps {
namespace {

constexpr std::array<const char*, kStepCount> kStepNames{
    "Initializing", "Verifying username and password", "Placing call", "Talking"};

constexpr const char* kGrey = "#999999";

struct StatusLook {
    const char* text;
    const char* colour;
};

StatusLook look_of(Status status)
{
    switch (status) {
    case Status::Pending:
        return {"Pending", kGrey};
    case Status::InProgress:
        return {"In progress", "#000000"};
    case Status::Ok:
        return {"OK", "#669900"};
    case Status::Error:
        return {"Error", "#cc0000"};
    case Status::Failed:
        return {"Failed", "#CC0000"};
    }
    return {"Pending", kGrey};
}

const char* icon_suffix(Icon icon)
{
    switch (icon) {
    case Icon::Current:
        return "";
    case Icon::Done:
        return "_check";
    case Icon::Disabled:
        return "_disabled";
    case Icon::Error:
        return "_error";
    }
    return "_disabled";
}

// The first `done` icons done, the next one current, the rest disabled; likewise the
// statuses: OK, in progress, pending.
Display progressed(int done)
{
    Display display;
    for (int step = 0; step < kStepCount; ++step) {
        if (step < done) {
            display.icons[step] = Icon::Done;
            display.statuses[step] = Status::Ok;
        } else if (step == done) {
            display.icons[step] = Icon::Current;
            display.statuses[step] = Status::InProgress;
        } else {
            display.icons[step] = Icon::Disabled;
            display.statuses[step] = Status::Pending;
        }
    }
    return display;
}

} // namespace

Display idle()
{
    Display display;
    display.icons.fill(Icon::Disabled);
    display.statuses.fill(Status::Pending);
    return display;
}

Display initializing()
{
    return progressed(0);
}
Display verifying()
{
    return progressed(1);
}
Display calling()
{
    return progressed(2);
}
Display talking()
{
    return progressed(3);
}
Display heard()
{
    return progressed(kStepCount);
}

Display not_heard()
{
    Display display = heard();
    display.statuses[3] = Status::Failed;
    return display;
}

Display registration_timed_out(const Display& before)
{
    Display display = before;
    display.icons = {Icon::Done, Icon::Error, Icon::Disabled, Icon::Disabled};
    return display;
}

Display registration_failed(const Display& before)
{
    Display display = registration_timed_out(before);
    display.statuses[1] = Status::Error;
    return display;
}

std::string icon_resource(int step, Icon icon)
{
    return "RES:wizard_" + std::to_string(step) + icon_suffix(icon) + ".png";
}

std::string icons_html(const Display& display)
{
    std::string html = "<table width=\"100%\" border=\"0\" cellpadding=\"3\" cellspacing=\"0\"><tr>";
    for (int step = 0; step < kStepCount; ++step)
        html += "<td><img src=\"" + icon_resource(step + 1, display.icons[step]) + "\"></td>";
    return html + "</tr></table>";
}

std::string steps_html(const Display& display)
{
    std::string html = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" width=\"100%\">";
    for (int step = 0; step < kStepCount; ++step) {
        const StatusLook look = look_of(display.statuses[step]);
        // A step not yet reached shows its name grey as well.
        const bool reached = display.statuses[step] != Status::Pending;
        html += "<tr><td width=\"200\">";
        html += reached ? std::string(kStepNames[step])
                        : std::string("<font color=\"") + kGrey + "\">" + kStepNames[step] + "</font>";
        html += std::string("</td><td><font color=\"") + look.colour + "\"><b>" + look.text +
            "</b></font></td></tr>";
    }
    return html + "</table>";
}

} // namespace echo_steps
