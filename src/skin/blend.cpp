#include "skin/blend.h"

#include <cairo.h>

#include "skin/bitmap.h"

namespace Skin {

void blend(cairo_t* cr, const Bitmap& bitmap, const Rect& source, const Rect& destination)
{
    if (source.width <= 0 || source.height <= 0 || destination.width <= 0 || destination.height <= 0)
        return;
    cairo_save(cr);
    cairo_rectangle(cr, destination.x, destination.y, destination.width, destination.height);
    cairo_clip(cr);
    cairo_translate(cr, destination.x, destination.y);
    cairo_scale(cr, double(destination.width) / source.width, double(destination.height) / source.height);
    cairo_set_source_surface(cr, bitmap.surface(), -source.x, -source.y);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

void blend_whole(cairo_t* cr, const Bitmap& bitmap, int x, int y)
{
    blend(cr, bitmap, {0, 0, bitmap.width(), bitmap.height()}, {x, y, bitmap.width(), bitmap.height()});
}

} // namespace Skin
