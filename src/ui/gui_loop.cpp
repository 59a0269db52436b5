#include "ui/gui_loop.h"

#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include "base/main_loop.h"
#include "base/ui_thread.h"

extern "C" void kalvo_register_resource(void);

namespace gui_loop {

bool init(int& argc, char**& argv)
{
    if (!gtk_init_check(&argc, &argv))
        return false;
    Gtk::Main::init_gtkmm_internals();
    kalvo_register_resource();
    ui_thread::init();
    main_loop::handle_termination_signals();
    return true;
}

} // namespace gui_loop
