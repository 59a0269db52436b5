#pragma once
#include <memory>
#include <sigc++/connection.h>

#include "base/timer_table.h"
#include "skin/dialog.h"
#include "skin/tab_slide.h"

typedef struct _GdkEventButton GdkEventButton;
typedef struct _GdkEventKey GdkEventKey;

namespace Skin {

struct Window;
class SkinWeb;

// A slide-out tab window: a shaped window that hides behind its parent with only its
// grip showing, and slides out to the left when the grip is clicked. The skin parser
// makes one per "tab" window; its GTK window exists from `Create` on.
class TabDlg : public Dialog {
public:
    explicit TabDlg(Window& window);
    ~TabDlg() override;

    // Makes the (hidden) top-level window; CreateControls calls it first.
    void Create();

    void Open();
    void Close();
    // Moves the window beside its parent's anchor point and behind the parent.
    void Reposition();

    Gtk::Window* GetWindow() override { return m_gtk.get(); }
    void SkinApplied() override;
    void PaintBackground(cairo_t* cr) override;

    const TabSlide& slide() const { return m_slide; }

private:
    void OnTimer();
    void ShowControls(bool show);
    void PlaceBehindParent();
    Gtk::Window* ParentWindow() const;
    bool OnButtonRelease(GdkEventButton* event);
    bool OnKey(GdkEventKey* event);

    Window& m_skin_window;
    std::unique_ptr<Gtk::Window> m_gtk;
    TabSlide m_slide;
    TimerTable m_timers;
    SkinWeb* m_web = nullptr; // the window's "tab" web element
    sigc::connection m_parent_moved;
    sigc::connection m_pending_hide;
};

} // namespace Skin
