#include "ui/gui_loop.h"

#include <EGL/egl.h>
#include <cstdlib>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include "base/gpu.h"
#include "base/main_loop.h"
#include "base/ui_thread.h"

extern "C" void kalvo_register_resource(void);

namespace gui_loop {
namespace {

// Ends every nested loop the toolkit may be running: a hidden dialog returns from its
// run(), a deactivated menu from its pop-up loop.
void close_modal_windows()
{
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next)
        g_object_ref(item->data);
    for (GList* item = windows; item; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        if (!gtk_widget_get_visible(GTK_WIDGET(window)))
            continue;
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(window));
        if (child && GTK_IS_MENU(child))
            gtk_menu_shell_deactivate(GTK_MENU_SHELL(child));
        else if (gtk_window_get_modal(window))
            gtk_widget_hide(GTK_WIDGET(window));
    }
    g_list_free_full(windows, g_object_unref);
}

// The web engine's interface side opens EGL only to take the pages in as GPU buffers;
// without a GPU they come in shared memory, and EGL would load the software GL driver
// and its compiler (about 25 MiB) for nothing. The EGL dispatcher reads its list of
// drivers once, at the first EGL call: that call is made here with an empty list, while
// no other thread runs, and the variable is gone again before any web process starts
// (those need their EGL). A list the user gave is theirs: it is left as it is.
void leave_egl_without_drivers()
{
    if (std::getenv("__EGL_VENDOR_LIBRARY_FILENAMES"))
        return;
    ::setenv("__EGL_VENDOR_LIBRARY_FILENAMES", "/dev/null", 1);
    eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    ::unsetenv("__EGL_VENDOR_LIBRARY_FILENAMES");
}

} // namespace

bool init(int& argc, char**& argv)
{
    // The toolkit opens GL at start-up to choose its visuals, loading a software driver
    // (and its compiler) when there is no GPU; nothing the program draws needs GL. Only
    // for this process: the variable is gone before anything is started.
    const bool without_gl = !gpu::present() && !std::getenv("GDK_GL");
    if (without_gl) {
        ::setenv("GDK_GL", "disable", 1);
        leave_egl_without_drivers();
    }
    bool opened = gtk_init_check(&argc, &argv);
    if (without_gl)
        ::unsetenv("GDK_GL");
    if (!opened)
        return false;
    Gtk::Main::init_gtkmm_internals();
    kalvo_register_resource();
    ui_thread::init();
    main_loop::handle_termination_signals();
    main_loop::set_nested_loop_closer(close_modal_windows);
    return true;
}

} // namespace gui_loop
