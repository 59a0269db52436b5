#pragma once

typedef struct _cairo cairo_t;

namespace Skin {

class Bitmap;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Alpha-blends the source rectangle of a bitmap into the destination rectangle,
// stretching when the sizes differ. Columns or rows the bitmap lacks repeat its edge.
void blend(cairo_t* cr, const Bitmap& bitmap, const Rect& source, const Rect& destination);

// Alpha-blends the whole bitmap at (x, y) at its own size.
void blend_whole(cairo_t* cr, const Bitmap& bitmap, int x, int y);

} // namespace Skin
