#include "support/display.h"

#include "ui/gui_loop.h"

#include <cstdlib>

namespace test_support {

bool init_display()
{
    static const bool ready = [] {
        if (!std::getenv("DISPLAY"))
            return false;
        int argc = 1;
        char name[] = "test";
        char* args[] = { name, nullptr };
        char** argv = args;
        return gui_loop::init(argc, argv);
    }();
    return ready;
}

namespace {

void collect(Gtk::Widget& widget, std::vector<std::string>& texts)
{
    if (auto* check = dynamic_cast<Gtk::CheckButton*>(&widget)) {
        texts.push_back(check->get_label());
        return;
    }
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget)) {
        texts.push_back(label->get_text());
        return;
    }
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget))
        for (Gtk::Widget* child : container->get_children())
            collect(*child, texts);
}

} // namespace

std::vector<std::string> widget_texts(Gtk::Widget& root)
{
    std::vector<std::string> texts;
    collect(root, texts);
    return texts;
}

void when_modal(std::function<void()> action)
{
    Glib::signal_idle().connect_once(std::move(action));
}

} // namespace test_support
