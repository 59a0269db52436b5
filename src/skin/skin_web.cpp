#include "skin/skin_web.h"

#include <webkit2/webkit2.h>

#include "log/log_dlg.h"
#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "skin/definition.h"

namespace Skin {
namespace {

// The first view made; later views are created related to it, so they share its web
// process. Kept for the life of the process.
WebKitWebView* first_view = nullptr;

WebKitWebView* new_view()
{
    if (!first_view) {
        first_view = WEBKIT_WEB_VIEW(webkit_web_view_new());
        g_object_ref_sink(first_view);
        return first_view;
    }
    return WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", first_view, nullptr));
}

} // namespace

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

void SkinWeb::Navigate(const std::string& address)
{
    webkit_web_view_load_uri(m_view, address.c_str());
}

} // namespace Skin
