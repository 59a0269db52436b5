#include "support/display.h"

#include <cstdlib>
#include <gtk/gtk.h>
#include <gtkmm.h>
#include <string>

#include "ui/gui_loop.h"

namespace test_support {

bool display_available()
{
    static const bool available = [] {
        if (!std::getenv("DISPLAY"))
            return false;
        setenv("GDK_BACKEND", "x11", 1);
        int argc = 1;
        char name[] = "test";
        char* args[] = {name, nullptr};
        char** argv = args;
        return gui_loop::init(argc, argv);
    }();
    return available;
}

bool run_loop_until(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        g_main_context_iteration(nullptr, FALSE);
        g_usleep(1000);
    }
    return true;
}

void run_loop_for(std::chrono::milliseconds time)
{
    run_loop_until([] { return false; }, time);
}

std::vector<Gtk::Widget*> descendants(Gtk::Widget& root)
{
    std::vector<Gtk::Widget*> found{&root};
    if (auto* container = dynamic_cast<Gtk::Container*>(&root)) {
        for (Gtk::Widget* child : container->get_children()) {
            auto below = descendants(*child);
            found.insert(found.end(), below.begin(), below.end());
        }
    }
    return found;
}

bool click_at(int x, int y)
{
    std::string command = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1";
    return std::system(command.c_str()) == 0;
}

bool click_on(Gtk::Widget& widget)
{
    auto window = widget.get_window();
    if (!window)
        return false;
    int origin_x = 0, origin_y = 0;
    window->get_origin(origin_x, origin_y);
    Gtk::Allocation allocation = widget.get_allocation();
    return click_at(origin_x + allocation.get_x() + allocation.get_width() / 2,
        origin_y + allocation.get_y() + allocation.get_height() / 2);
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
