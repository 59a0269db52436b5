#pragma once

namespace Skin {

struct Element;

// The interface every skinned control carries. Constructing a control stores it in
// its element, so the main window can reach a control from the element it found.
class BaseElement {
public:
    explicit BaseElement(Element& element);
    virtual ~BaseElement();
    BaseElement(const BaseElement&) = delete;
    BaseElement& operator=(const BaseElement&) = delete;

    virtual void Redraw() { }
    virtual void Show() = 0;
    virtual void Hide() = 0;

    Element& element() const { return m_element; }

private:
    Element& m_element;
};

} // namespace Skin
