#include "presenter_fakes.h"

std::vector<std::string> Recorder::take()
{
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}

void RecordingView::ShowElement(const std::string& name, bool visible)
{
    record("show " + name + (visible ? " on" : " off"));
}

void RecordingView::SetLabel(const std::string& name, const std::string& text)
{
    record("label " + name + " " + text);
    labels[name] = text;
}

std::optional<std::string> RecordingView::InputText(const std::string& name) const
{
    auto input = inputs.find(name);
    if (input == inputs.end())
        return std::nullopt;
    return input->second;
}

void RecordingView::SetElementImage(const std::string& name, const std::string& image)
{
    record("image " + name + " " + image);
}

void RecordingView::ShowMainTabs(bool visible)
{
    record(visible ? "main tabs on" : "main tabs off");
}

void RecordingView::SetContentLayout(ContentLayout layout)
{
    record("layout " + std::to_string(static_cast<int>(layout)));
}

void RecordingView::ShowTabDialog(bool visible)
{
    record(visible ? "tab dialog on" : "tab dialog off");
}

void RecordingView::Redraw()
{
    record("redraw");
}

void RecordingView::RunScript(const std::string& page, const std::string& script)
{
    record("script " + page + " " + script);
}

void RecordingView::Navigate(const std::string& page, const std::string& address)
{
    record("navigate " + page + " " + address);
}

void RecordingView::GrantNavigation(const std::string& page)
{
    record("grant " + page);
}

void RecordingView::SetTrayLoggedIn(bool logged_in)
{
    record(logged_in ? "tray logged in" : "tray logged out");
}

void RecordingView::SetTrayOffline(bool offline)
{
    record(offline ? "tray offline" : "tray online");
}

void RecordingView::ShowInfoNotice(const std::string& info_version, bool show_info)
{
    record("info notice " + info_version + (show_info ? " shown" : ""));
}

void FakeCalls::unregister()
{
    record("unregister");
    signed_in = false;
}

void FakeCalls::place_call(const std::string& target)
{
    record("place_call " + target);
    if (current == SIPX_CALL_NULL)
        current = next_call++;
}

void FakeCalls::end_call()
{
    record("end_call");
    current = SIPX_CALL_NULL;
}

void FakeCalls::reject()
{
    record("reject");
    current = SIPX_CALL_NULL;
}

void FakeCalls::get_levels(int& input, int& output)
{
    input = current ? input_level : -100;
    output = current ? output_level : -100;
}
