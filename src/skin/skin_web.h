#pragma once
#include <gtkmm/box.h>
#include <string>

#include "skin/skin_control.h"

typedef struct _WebKitWebView WebKitWebView;
namespace Gtk {
class Window;
}

namespace Skin {

// A web element: a WebKit view filling the element's rectangle. Every web element shares
// one web context and web process (each view is related to the first one made) but has
// a content manager (user scripts, script message handlers) of its own. It opens
// the start address of its type; the navigation filter and page bridge attach to
// `view()`, and the window that owns the page is recorded for them.
class SkinWeb : public Gtk::Box, public SkinControl {
public:
    SkinWeb(Definition& skin, Element& element);
    ~SkinWeb() override;

    // Starts the web engine's processes on a blank page that no window shows, so that
    // they load while the rest of the program starts; the elements made later share them.
    static void StartWebEngine();

    Gtk::Widget& widget() override { return *this; }

    WebKitWebView* view() const { return m_view; }
    void Navigate(const std::string& address);
    // The folder of the skin the element belongs to (its own local pages).
    const std::string& SkinFolder() const;

    void SetOwnerWindow(Gtk::Window* owner) { m_owner = owner; }
    Gtk::Window* OwnerWindow() const { return m_owner; }

private:
    WebKitWebView* m_view = nullptr;
    Gtk::Window* m_owner = nullptr;
};

} // namespace Skin
