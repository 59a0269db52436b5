#include "ui/wizard/message_box.h"

namespace {
MessageBoxHandler& handler()
{
    static MessageBoxHandler installed;
    return installed;
}
} // namespace

int show_message_box(Gtk::Window* parent, const MessageBoxRequest& request)
{
    if (handler())
        return handler()(request);
    Gtk::MessageDialog box(request.text, false, request.type, request.buttons, true);
    if (parent)
        box.set_transient_for(*parent);
    box.set_title(request.caption);
    return box.run();
}

void set_message_box_handler(MessageBoxHandler replacement)
{
    handler() = std::move(replacement);
}
