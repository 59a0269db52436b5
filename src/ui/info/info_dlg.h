#pragma once
#include <boost/signals2/connection.hpp>
#include <memory>
#include <string>

#include "skin/dialog.h"

typedef struct _GdkEventKey GdkEventKey;

namespace Skin {
class SkinWeb;
}

// The information window: one web page of notices from the service, in the skin's
// "info" window (web element "info", close button "info_close"). One per process, made
// on first use and never destroyed before Exit; closing it only hides it.
class InfoDlg : public Skin::Dialog {
public:
    static InfoDlg& instance();

    // Makes the (hidden) window, centred on the desktop; before the skin is bound.
    void Create();
    // Exit: the window goes; the object stays.
    void Destroy();

    Gtk::Window* GetWindow() override { return m_gtk.get(); }
    void SkinApplied() override;

    void Show();
    void Hide();
    bool IsVisible() const;
    // A toast appeared: a visible window is shown again on top.
    void BringToTopIfVisible();
    // Opens an address in the "info" element (the "info" command).
    void Navigate(const std::string& address);

    // After the first registration of a login, with the login reply's information version
    // and whether the reply asked for the window: shows it for a new version.
    void OnLoginInfoVersion(const std::string& version_text, bool show_requested);

private:
    InfoDlg() = default;
    ~InfoDlg() override;

    bool OnKey(GdkEventKey* event);

    std::unique_ptr<Gtk::Window> m_gtk;
    Skin::SkinWeb* m_web = nullptr; // the skin's "info" element
    boost::signals2::scoped_connection m_close;
};
