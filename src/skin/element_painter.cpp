#include "skin/element_painter.h"

#include "skin/blend.h"
#include "skin/definition.h"

namespace Skin {

const Sprite* sprite_for(const Element& element, DrawState state)
{
    if (element.state < 0 || std::size_t(element.state) >= element.images.size())
        return nullptr;
    const ImageState& images = element.images[std::size_t(element.state)];
    const std::optional<Sprite>& sprite = state == DrawState::Pressed ? images.down
        : state == DrawState::Hover                                   ? images.over
                                                                      : images.base;
    return sprite ? &*sprite : nullptr;
}

void paint_element(cairo_t* cr, const Definition& skin, const Element& element, DrawState state)
{
    const Sprite* sprite = sprite_for(element, state);
    if (!sprite)
        return;
    const Bitmap* image = skin.FindImage(sprite->file);
    if (!image)
        return;
    blend(cr, *image, {sprite->x, sprite->y, sprite->width, sprite->height},
        {0, 0, sprite->width, sprite->height});
}

} // namespace Skin
