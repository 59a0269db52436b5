#pragma once
#include "skin/skin_button.h"

namespace Skin {

// One item of a tab strip: fires like a button, tracks the pointer for its hover
// look, and in a sticky strip stays selected once pressed.
class SkinTabButton : public SkinButton {
public:
    SkinTabButton(Definition& skin, Element& element);

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
    bool on_button_press_event(GdkEventButton* event) override;
    bool on_enter_notify_event(GdkEventCrossing* event) override;
    bool on_leave_notify_event(GdkEventCrossing* event) override;

private:
    bool m_hovering = false;
};

} // namespace Skin
