#pragma once
#include "skin/skin_control.h"

typedef struct _cairo cairo_t;

namespace Skin {

struct Element;

// The look a tab item is drawn with: a selected item always looks hovered.
DrawState tab_item_look(const Element& item, DrawState state);

// Paints a tab-strip item: the highlighted look (left cap, middle, right cap, highlight
// colour) for a pressed, hovered or selected item, else the plain background and colour;
// then its label in "Verdana".
void paint_tab_item(cairo_t* cr, const Definition& skin, const Element& item, DrawState state);

} // namespace Skin
