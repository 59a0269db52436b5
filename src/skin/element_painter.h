#pragma once
#include "skin/skin_control.h"

typedef struct _cairo cairo_t;

namespace Skin {

struct Element;
struct Sprite;

// The sprite an element shows in a draw state: the down sprite while pressed, the over
// sprite while hovered, else the base sprite, of its current image state. Nothing
// when the element has no such state or sprite.
const Sprite* sprite_for(const Element& element, DrawState state);

// Blends that sprite's rectangle onto the control at (0, 0).
void paint_element(cairo_t* cr, const Definition& skin, const Element& element, DrawState state);

} // namespace Skin
