#pragma once
#include "skin/base_element.h"

namespace Gtk {
class Widget;
}

namespace Skin {

class Definition;

// A skinned control that is a GTK widget placed on its dialog's control layer.
class SkinControl : public BaseElement {
public:
    SkinControl(Definition& skin, Element& element) : BaseElement(element), m_skin(skin) { }

    virtual Gtk::Widget& widget() = 0;
    void Show() override;
    void Hide() override;

protected:
    Definition& skin() const { return m_skin; }

private:
    Definition& m_skin;
};

// Look of a control being drawn: plain, pressed, or hovered.
enum class DrawState { Plain = 0, Pressed = 1, Hover = 2 };

} // namespace Skin
