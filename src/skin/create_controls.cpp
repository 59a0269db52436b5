#include <algorithm>
#include <gtk/gtk.h>
#include <gtkmm/fixed.h>
#include <gtkmm/window.h>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "skin/contour_bitmap.h"
#include "skin/definition.h"
#include "skin/dialog.h"
#include "skin/skin_button.h"
#include "skin/skin_input.h"
#include "skin/skin_scroll_bar.h"
#include "skin/skin_tab_button.h"
#include "skin/skin_text.h"
#include "skin/skin_web.h"
#include "skin/tab_dlg.h"

namespace Skin {
namespace {

std::unique_ptr<SkinControl> make_control(Definition& skin, Element& element)
{
    switch (element.kind) {
    case ElementType::Text:
        return std::make_unique<SkinText>(skin, element);
    case ElementType::Input:
        return std::make_unique<SkinInput>(skin, element);
    case ElementType::Button:
        return std::make_unique<SkinButton>(skin, element);
    case ElementType::TabItem:
        LogDlg::instance().append("********** add_tab_item");
        return std::make_unique<SkinTabButton>(skin, element);
    case ElementType::ScrollBar:
        return std::make_unique<SkinScrollBar>(skin, element);
    case ElementType::Web:
        return std::make_unique<SkinWeb>(skin, element);
    }
    return nullptr;
}

// The image whose outline a shaped window takes: a tab window's open sprite, else the
// window's background.
const Bitmap* shape_image(const Definition& skin, const Window& window)
{
    if (window.mode == "tab")
        return window.tab ? skin.FindImage(window.tab->open.file) : nullptr;
    return skin.FindImage(window.background);
}

void apply_shape(const Definition& skin, Window& window, Gtk::Window& gtk_window)
{
    CContourBitmap contour(shape_image(skin, window));
    cairo_region_t* region = contour.GetRegion(kTopLeftColour);
    contour.Detach();
    if (!region) {
        log_file::write_line("SKIN - window \"" + window.name + "\" has no image to take its shape from");
        return;
    }
    if (window.region)
        cairo_region_destroy(window.region);
    window.region = region;
    gtk_widget_shape_combine_region(GTK_WIDGET(gtk_window.gobj()), region);
    gtk_window.queue_draw();
}

} // namespace

void Definition::CreateControls()
{
    for (const auto& window : windows) {
        if (!window->dialog)
            continue;
        if (window->mode == "tab") {
            if (auto* tab = dynamic_cast<TabDlg*>(window->tab_dialog.get()))
                tab->Create();
        }
        Dialog& dialog = *window->dialog;
        dialog.Bind(this, window.get());
        Gtk::Window* gtk_window = dialog.GetWindow();
        if (!gtk_window)
            continue;
        if (window->width > 0 && window->height > 0) {
            gtk_window->set_default_size(window->width, window->height);
            gtk_window->resize(window->width, window->height);
        }
        if (window->shaped()) {
            gtk_window->set_decorated(false);
            apply_shape(*this, *window, *gtk_window);
        }
        Gtk::Fixed& layer = dialog.ControlLayer();
        for (const auto& element : window->elements) {
            std::unique_ptr<SkinControl> control = make_control(*this, *element);
            if (!control)
                continue;
            Gtk::Widget& widget = control->widget();
            widget.set_size_request(std::max(0, element->width), std::max(0, element->height));
            layer.put(widget, element->x, element->y);
            widget.show();
            AddControl(std::move(control));
        }
        dialog.SkinApplied();
    }
    built();
}

} // namespace Skin
