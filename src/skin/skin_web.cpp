#include "skin/skin_web.h"

#include <webkit2/webkit2.h>

#include "base/descriptors.h"
#include "base/gpu.h"
#include "log/log_dlg.h"
#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/paths.h"
#include "skin/definition.h"

namespace Skin {
namespace {

constexpr double kMemoryPollSeconds = 120;

// The first view made; later views are created related to it, so they share its web
// process. Kept for the life of the process.
WebKitWebView* first_view = nullptr;

// The web engine keeps its data (cookies, storage) and caches in the program's own data
// folder, which only the user can read.
WebKitWebContext* private_context()
{
    std::string data = paths::join(paths::user_data_dir(), "web");
    std::string cache = paths::join(data, "cache");
    paths::make_dirs(cache);
    WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
        "base-data-directory", data.c_str(), "base-cache-directory", cache.c_str(), nullptr);
    // The web process measures its memory (its whole memory map) at every poll; the
    // service's few small pages change little, so once every two minutes is enough.
    WebKitMemoryPressureSettings* pressure = webkit_memory_pressure_settings_new();
    webkit_memory_pressure_settings_set_poll_interval(pressure, kMemoryPollSeconds);
    auto* context = WEBKIT_WEB_CONTEXT(g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "website-data-manager", manager,
        "memory-pressure-settings", pressure, nullptr));
    webkit_memory_pressure_settings_free(pressure);
    g_object_unref(manager);
    // The service's pages are read once and reloaded when shown again: no page cache.
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    return context;
}

// Without a GPU, accelerated compositing would run on a software GL driver, costing
// memory in every process and painting later, for pages that draw nothing in 3D.
void apply_view_settings(WebKitWebView* view)
{
    if (!gpu::present())
        webkit_settings_set_hardware_acceleration_policy(
            webkit_web_view_get_settings(view), WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
}

WebKitWebView* new_view()
{
    // The web engine's processes start from here: none may inherit a descriptor.
    descriptors::close_all_on_exec();
    WebKitUserContentManager* manager = webkit_user_content_manager_new();
    WebKitWebView* view = nullptr;
    if (!first_view) {
        WebKitWebContext* context = private_context();
        first_view = WEBKIT_WEB_VIEW(g_object_new(
            WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager", manager, nullptr));
        g_object_unref(context); // the view holds it
        g_object_ref_sink(first_view);
        view = first_view;
    } else {
        view = WEBKIT_WEB_VIEW(g_object_new(
            WEBKIT_TYPE_WEB_VIEW, "related-view", first_view, "user-content-manager", manager, nullptr));
    }
    g_object_unref(manager); // the view holds it
    apply_view_settings(view);
    return view;
}

} // namespace

void SkinWeb::StartWebEngine()
{
    if (first_view)
        return;
    webkit_web_view_load_uri(new_view(), "about:blank"); // made first, it is first_view
}

SkinWeb::SkinWeb(Definition& skin, Element& element)
    : Gtk::Box(Gtk::ORIENTATION_VERTICAL), SkinControl(skin, element), m_view(new_view())
{
    GtkWidget* view = GTK_WIDGET(m_view);
    gtk_box_pack_start(GTK_BOX(gobj()), view, TRUE, TRUE, 0);
    gtk_widget_show(view);

    AppSettings settings;
    settings.load();
    std::string address =
        service_address::web_start_address(element.command, skin.folder, settings, Deployment::get());
    if (element.command != "tab" && element.command != "info") {
        LogDlg::instance().append(std::string("Password: ") + kMaskedPassword);
        LogDlg::instance().append(service_address::mask_password_in_address(address));
    }
    Navigate(address);
}

SkinWeb::~SkinWeb() = default;

const std::string& SkinWeb::SkinFolder() const
{
    return skin().folder;
}

void SkinWeb::Navigate(const std::string& address)
{
    webkit_web_view_load_uri(m_view, address.c_str());
}

} // namespace Skin
