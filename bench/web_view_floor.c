// The web engine's floor, for bench/peers.sh: one GTK window holding one WebKit view, set
// up as Kalvo sets up its views on a machine without a GPU (no accelerated compositing, the
// document-viewer cache model, no GL and no EGL driver in the interface process), showing
// one page. Whatever this costs, any program built on the same engine costs at least.
//
//   web-view-floor URI
//
// Prints "loaded MICROSECONDS" (since the epoch) once the page has loaded, then runs until
// its window is closed or it is ended by a signal.
#include <EGL/egl.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <stdio.h>
#include <stdlib.h>
#include <webkit2/webkit2.h>

static void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer data)
{
    (void)view;
    (void)data;
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    printf("loaded %" G_GINT64_FORMAT "\n", g_get_real_time());
    fflush(stdout);
}

static gboolean on_termination(gpointer data)
{
    (void)data;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: web-view-floor URI\n");
        return 2;
    }
    // As Kalvo's interface process does without a GPU: GTK without GL, and the EGL
    // dispatcher's driver list read once while empty (the web processes get theirs).
    setenv("GDK_GL", "disable", 1);
    setenv("__EGL_VENDOR_LIBRARY_FILENAMES", "/dev/null", 1);
    eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    unsetenv("__EGL_VENDOR_LIBRARY_FILENAMES");
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "web-view-floor: cannot open the display\n");
        return 1;
    }
    unsetenv("GDK_GL");

    WebKitWebView* view = WEBKIT_WEB_VIEW(webkit_web_view_new());
    webkit_settings_set_hardware_acceleration_policy(
        webkit_web_view_get_settings(view), WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_web_context_set_cache_model(webkit_web_view_get_context(view), WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), NULL);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "web-view-floor");
    gtk_window_set_default_size(GTK_WINDOW(window), 300, 520);
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    g_unix_signal_add(SIGTERM, on_termination, NULL);
    g_unix_signal_add(SIGINT, on_termination, NULL);

    webkit_web_view_load_uri(view, argv[1]);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
