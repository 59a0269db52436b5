#include "ui/gui_loop.h"

#include <csignal>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include "app/ui_thread.h"

extern "C" void kalvo_register_resource(void);

namespace gui_loop {
namespace {

int g_exit_code = 0;

gboolean on_terminate(gpointer)
{
    quit(0);
    return G_SOURCE_CONTINUE;
}

} // namespace

bool init(int& argc, char**& argv)
{
    if (!gtk_init_check(&argc, &argv))
        return false;
    Gtk::Main::init_gtkmm_internals();
    kalvo_register_resource();
    ui_thread::init();
    g_unix_signal_add(SIGTERM, on_terminate, nullptr);
    g_unix_signal_add(SIGINT, on_terminate, nullptr);
    return true;
}

int run()
{
    gtk_main();
    return g_exit_code;
}

void quit(int exit_code)
{
    g_exit_code = exit_code;
    if (gtk_main_level() > 0)
        gtk_main_quit();
}

} // namespace gui_loop
